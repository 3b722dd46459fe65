// The document's subfile rules and the flat functions' argument checks.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "spclib/spc_document.h"
#include "spclib/tarnvik_api.h"

namespace {

struct Handle {
    HTARNVIK h = TARNVIK_Create();
    ~Handle() { TARNVIK_Destroy(h); }
    operator HTARNVIK() const { return h; }
    spc::TARNVIK& doc() const { return *static_cast<spc::TARNVIK*>(h); }
};

std::vector<float> YPoints(HTARNVIK h) {
    int32_t n = 0;
    TARNVIK_GetNumPoints(h, &n);
    std::vector<float> v(static_cast<std::size_t>(n));
    EXPECT_EQ(TARNVIK_GetYPoints(h, v.data(), n), 0);
    return v;
}

}  // namespace

TEST(SpcDocument, XValuesFollowTheFileType) {
    Handle h;
    float y[3] = {1, 2, 3}, x[3] = {10, 20, 30}, x2[3] = {11, 21, 31};
    TARNVIK_CreateSpc(h, 0);
    EXPECT_EQ(TARNVIK_AddSubFile(h, y, x, 3, 0, 0), -2);  // Even takes no X values

    TARNVIK_CreateSpc(h, 1);
    EXPECT_EQ(TARNVIK_AddSubFile(h, y, nullptr, 3, 0, 0), -2);  // the first XYY subfile needs X
    ASSERT_EQ(TARNVIK_AddSubFile(h, y, x, 3, 0, 0), 0);
    EXPECT_EQ(h.doc().flags() & 0x80, 0x80);
    EXPECT_EQ(h.doc().commonX, (std::vector<float>{10, 20, 30}));
    // A second subfile with X values of its own makes the document XYXY.
    ASSERT_EQ(TARNVIK_AddSubFile(h, y, x2, 3, 1, 1), 0);
    int32_t type = -1;
    TARNVIK_GetFileType(h, &type);
    EXPECT_EQ(type, 2);
    float out[3];
    ASSERT_EQ(TARNVIK_SetSubFileIndex(h, 0), 0);
    ASSERT_EQ(TARNVIK_GetXPoints(h, out, 3), 0);
    EXPECT_EQ(std::vector<float>(out, out + 3), (std::vector<float>{10, 20, 30}));
    ASSERT_EQ(TARNVIK_SetSubFileIndex(h, 1), 0);
    ASSERT_EQ(TARNVIK_GetXPoints(h, out, 3), 0);
    EXPECT_EQ(std::vector<float>(out, out + 3), (std::vector<float>{11, 21, 31}));
    ASSERT_EQ(TARNVIK_GetYPoints(h, out, 3), 0);
    EXPECT_EQ(std::vector<float>(out, out + 3), (std::vector<float>{1, 2, 3}));
}

TEST(SpcDocument, EvenSubfilesShareOnePointCount) {
    Handle h;
    float y[4] = {1, 2, 3, 4};
    TARNVIK_CreateSpc(h, 0);
    ASSERT_EQ(TARNVIK_AddSubFile(h, y, nullptr, 3, 0, 0), 0);
    EXPECT_EQ(TARNVIK_AddSubFile(h, y, nullptr, 4, 0, 0), -2);
    ASSERT_EQ(TARNVIK_AddSubFile(h, y, nullptr, 3, 1, 1), 0);
    // The second subfile makes it a multifile, Z ordered by the default type.
    EXPECT_EQ(h.doc().flags() & 0x14, 0x14);
    int32_t zt = -5;
    TARNVIK_GetZIncrementType(h, &zt);
    EXPECT_EQ(zt, 1);
    // X of an Even document are zeros.
    float x[3] = {9, 9, 9};
    ASSERT_EQ(TARNVIK_GetXPoints(h, x, 3), 0);
    EXPECT_EQ(std::vector<float>(x, x + 3), (std::vector<float>{0, 0, 0}));
}

TEST(SpcDocument, SelectingBeyondTheLastSubfileFailsAndKeepsTheIndex) {
    Handle h;
    float y[2] = {1, 2};
    TARNVIK_CreateSpc(h, 0);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(TARNVIK_AddSubFile(h, y, nullptr, 2, float(i), 0), 0);
    EXPECT_EQ(h.doc().Select(5, 0), 3u);  // the append position
    ASSERT_EQ(TARNVIK_SetSubFileIndex(h, 1), 0);
    EXPECT_EQ(TARNVIK_SetSubFileIndex(h, 5), -2);
    EXPECT_EQ(TARNVIK_SetSubFileIndex(h, -1), -2);
    int32_t idx = -1;
    TARNVIK_GetSubFileIndex(h, &idx);
    EXPECT_EQ(idx, 1);
    // At the append position nothing reads an unfilled entry.
    h.doc().current = 3;
    float z = 7, w = 7;
    int32_t scans = 7;
    TARNVIK_GetZStart(h, &z);
    TARNVIK_GetWPlaneValue(h, &w);
    TARNVIK_GetNumScans(h, &scans);
    EXPECT_EQ(z, 0);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(scans, 0);
    EXPECT_EQ(TARNVIK_SetNumScans(h, 4), -2);
    EXPECT_EQ(TARNVIK_SetZEnd(h, 4), -2);
    float buf[2];
    EXPECT_EQ(TARNVIK_GetYPoints(h, buf, 2), -2);
    // Selection by Z stops at the first subfile at or beyond the value.
    EXPECT_EQ(h.doc().SelectByZ(1.5), 2u);
    EXPECT_EQ(h.doc().SelectByZ(-4), 0u);
    EXPECT_EQ(h.doc().SelectByZ(99), 2u);
}

TEST(SpcDocument, AddPointsStoresExtendsOrRefuses) {
    Handle h;
    float y1[2] = {1, 2}, y2[3] = {3, 4, 5}, x1[2] = {10, 11}, x2[3] = {12, 13, 14};
    // A new XYXY document: the first call stores subfile 0, the second extends it.
    TARNVIK_CreateSpc(h, 2);
    ASSERT_EQ(TARNVIK_AddPoints(h, y1, x1, 2), 0);
    ASSERT_EQ(TARNVIK_AddPoints(h, y2, x2, 3), 0);
    int32_t n = 0, count = 0;
    TARNVIK_GetNumSubfiles(h, &count);
    TARNVIK_GetNumPoints(h, &n);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(YPoints(h), (std::vector<float>{1, 2, 3, 4, 5}));
    float x[5];
    ASSERT_EQ(TARNVIK_GetXPoints(h, x, 5), 0);
    EXPECT_EQ(x[4], 14);
    EXPECT_EQ(TARNVIK_AddPoints(h, y1, nullptr, 2), -2);  // XYXY needs X values

    // An Even document grows its one subfile in place.
    Handle e;
    TARNVIK_CreateSpc(e, 0);
    ASSERT_EQ(TARNVIK_AddPoints(e, y1, nullptr, 2), 0);
    ASSERT_EQ(TARNVIK_AddPoints(e, y2, nullptr, 3), 0);
    ASSERT_EQ(TARNVIK_AddPoints(e, y1, nullptr, 2), 0);
    EXPECT_EQ(YPoints(e), (std::vector<float>{1, 2, 3, 4, 5, 1, 2}));
    // At the append position there is nothing to extend.
    e.doc().current = 1;
    EXPECT_EQ(TARNVIK_AddPoints(e, y1, nullptr, 2), -2);
    EXPECT_EQ(e.doc().count(), 1u);
}

TEST(SpcDocument, ZValuesPutOnAnEmptyDocumentReachTheFirstSubfile) {
    Handle h;
    float y[2] = {1, 2};
    TARNVIK_CreateSpc(h, 0);
    TARNVIK_SetZIncrementTypeDefault(h, 0);
    ASSERT_EQ(TARNVIK_SetZStart(h, 350), 0);
    ASSERT_EQ(TARNVIK_SetZIncrement(h, 10), 0);
    ASSERT_EQ(TARNVIK_SetZType(h, 3), 0);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(TARNVIK_AddSubFile(h, y, nullptr, 2, 0, 0), 0);
    float z = 0, ze = 0;
    TARNVIK_SetSubFileIndex(h, 2);
    TARNVIK_GetZStart(h, &z);
    TARNVIK_GetZEnd(h, &ze);
    EXPECT_FLOAT_EQ(z, 370);
    EXPECT_FLOAT_EQ(ze, 380);
}

TEST(SpcDocument, ZIncrementIsDerivedWhenNotSet) {
    Handle h;
    float y[2] = {1, 2};
    TARNVIK_CreateSpc(h, 0);
    float inc = 0;
    TARNVIK_GetZIncrement(h, &inc);
    EXPECT_EQ(inc, 1.0f);
    TARNVIK_AddSubFile(h, y, nullptr, 2, 2, 0);
    TARNVIK_AddSubFile(h, y, nullptr, 2, 5, 0);
    TARNVIK_AddSubFile(h, y, nullptr, 2, 11, 0);
    TARNVIK_GetZIncrement(h, &inc);
    EXPECT_FLOAT_EQ(inc, 4.5f);
    // The Ordered default was applied; a put of Even respaces the Z values.
    EXPECT_EQ(TARNVIK_SetZIncrementType(h, 7), 0);  // refusal not reported
    int32_t t = -2;
    TARNVIK_GetZIncrementType(h, &t);
    EXPECT_EQ(t, 1);
    TARNVIK_SetZIncrementType(h, 2);
    EXPECT_EQ(h.doc().flags() & 0x18, 0x08);
    TARNVIK_SetZIncrementTypeDefault(h, -1);
    TARNVIK_GetZIncrementTypeDefault(h, &t);
    EXPECT_EQ(t, 1);
}

TEST(SpcDocument, WPlanesNeverDivideByZero) {
    Handle h;
    float y[2] = {1, 2};
    TARNVIK_CreateSpc(h, 0);
    for (int i = 0; i < 2; ++i) TARNVIK_AddSubFile(h, y, nullptr, 2, 0, 0);
    TARNVIK_SetWNumPlanes(h, 5);  // 2 subfiles / 5 planes rounds to 0: one subfile per plane
    TARNVIK_SetWIncrement(h, 2.5f);
    TARNVIK_SetSubFileIndex(h, 1);
    float w = -1;
    ASSERT_EQ(TARNVIK_GetWPlaneValue(h, &w), 0);
    EXPECT_FLOAT_EQ(w, 2.5f);
    TARNVIK_SetWNumPlanes(h, -3);
    int32_t planes = -1;
    TARNVIK_GetWNumPlanes(h, &planes);
    EXPECT_EQ(planes, 0);
}

TEST(SpcDocument, FlatFunctionsCheckHandlesBuffersAndIndices) {
    float f = 0;
    int32_t i = 0;
    char buf[8];
    EXPECT_EQ(TARNVIK_GetNumPoints(nullptr, &i), -3);
    EXPECT_EQ(TARNVIK_GetComment(nullptr, buf, 8), -3);
    EXPECT_EQ(TARNVIK_SetComment(nullptr, "x"), -3);
    EXPECT_EQ(TARNVIK_OpenFile(nullptr, "x"), -3);
    TARNVIK_Destroy(nullptr);

    Handle h;
    TARNVIK_CreateSpc(h, 0);
    EXPECT_EQ(TARNVIK_GetNumPoints(h, nullptr), -2);
    EXPECT_EQ(TARNVIK_GetSpare(h, -1, &f), -2);
    EXPECT_EQ(TARNVIK_GetSpare(h, 8, &f), -2);
    EXPECT_EQ(TARNVIK_SetSpare(h, -1, 1), -2);
    EXPECT_EQ(TARNVIK_SetSpare(h, 7, 1.5f), 0);
    EXPECT_EQ(TARNVIK_GetSpare(h, 7, &f), 0);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(TARNVIK_GetWarningCode(h, 0, &i), -2);
    EXPECT_EQ(TARNVIK_GetWarningCode(h, -1, &i), -2);

    TARNVIK_SetComment(h, "0123456789");
    EXPECT_EQ(TARNVIK_GetComment(h, buf, 1), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(TARNVIK_GetComment(h, buf, 5), 4);
    EXPECT_STREQ(buf, "0123");
    EXPECT_EQ(TARNVIK_GetComment(h, buf, 0), -2);
    EXPECT_EQ(TARNVIK_GetComment(h, nullptr, 5), -2);

    // The log text needs room for its NUL.
    TARNVIK_AppendLogKey(h, "AB", "C");  // "AB=C\r\n"
    int32_t size = 0;
    TARNVIK_GetLogTextSize(h, &size);
    EXPECT_EQ(size, 6);
    char log[7];
    EXPECT_EQ(TARNVIK_GetLogText(h, log, 6), -2);
    EXPECT_EQ(TARNVIK_GetLogText(h, log, 7), 6);
    EXPECT_STREQ(log, "AB=C\r\n");
    EXPECT_EQ(TARNVIK_GetLogLine(h, 0, buf, 8), 4);
    EXPECT_EQ(TARNVIK_GetLogLine(h, 1, buf, 8), -4);

    float y[3] = {1, 2, 3};
    TARNVIK_AddSubFile(h, y, nullptr, 3, 0, 0);
    float out[3] = {-1, -1, -1};
    EXPECT_EQ(TARNVIK_GetYPoints(h, out, 2), -2);
    EXPECT_EQ(out[0], -1);  // nothing copied
    EXPECT_EQ(TARNVIK_SaveFile(h, "/tmp/never.spc", 1), -5);
    EXPECT_EQ(TARNVIK_SaveFile(h, "/tmp/never.spc", -2), -5);

    uint16_t yy, mm, dd, hh, mi;
    EXPECT_EQ(TARNVIK_GetDate(h, &yy, &mm, &dd, &hh, nullptr), -2);
    ASSERT_EQ(TARNVIK_GetDate(h, &yy, &mm, &dd, &hh, &mi), 0);
    EXPECT_EQ(yy, 0);
    EXPECT_EQ(hh, 65535);
    ASSERT_EQ(TARNVIK_SetDate(h, 14, 4, 3, 10, 5), 0);
    ASSERT_EQ(TARNVIK_GetDate(h, &yy, &mm, &dd, &hh, &mi), 0);
    EXPECT_EQ(yy, 2014);
    EXPECT_EQ(mm, 4);
    EXPECT_EQ(dd, 3);
    EXPECT_EQ(mi, 5);
    EXPECT_EQ(TARNVIK_SetDate(h, 2014, 2, 30, 0, 0), -2);
}

TEST(SpcDocument, YMinMaxOverAnXRange) {
    Handle h;
    TARNVIK_CreateSpc(h, 0);
    TARNVIK_SetFirstPoint(h, 100);
    TARNVIK_SetLastPoint(h, 400);
    float y[4] = {5, -1, 9, 3};
    TARNVIK_AddSubFile(h, y, nullptr, 4, 0, 0);
    TARNVIK_SetSubFileIndex(h, 0);
    float lo = 0, hi = 0;
    ASSERT_EQ(TARNVIK_GetYMinMax(h, 350, 150, &lo, &hi), 0);
    EXPECT_EQ(lo, -1);
    EXPECT_EQ(hi, 9);
    ASSERT_EQ(TARNVIK_GetYMinMax(h, 500, 600, &lo, &hi), 0);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 0);
    EXPECT_EQ(TARNVIK_GetYMinMax(h, 0, 1, nullptr, &hi), -2);
}
