// The built library as its callers see it: the flat exports found with dlsym, the COM class created
// through the per-user class registration, files passing from one to the other.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/com.h"
#include "platform/registry.h"
#include "spclib/igtarnvik.h"

namespace fs = std::filesystem;

namespace {

// The flat functions, looked up in the library.
struct Flat {
    void* lib = nullptr;
    template <class F>
    F get(const char* name) {
        void* p = dlsym(lib, name);
        EXPECT_NE(p, nullptr) << name;
        return reinterpret_cast<F>(p);
    }
};

class SpcCom : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vxspc" + std::to_string(::getpid()) + "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        setenv("VAROLUX32_REGISTRY_DIR", (dir_ / "reg").c_str(), 1);
        flat_.lib = dlopen(VX_SPCLIB_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(flat_.lib, nullptr) << dlerror();
    }
    void TearDown() override {
        if (obj_) obj_->Release();
        fs::remove_all(dir_);
        unsetenv("VAROLUX32_REGISTRY_DIR");
    }
    void Register() {
        auto reg = flat_.get<DllRegisterServerFn>("DllRegisterServer");
        ASSERT_EQ(reg(), S_OK);
    }
    IGTarnvik* Create() {
        Register();
        IUnknown* unk = nullptr;
        EXPECT_EQ(CoCreateInstance(CLSID_GTarnvik, nullptr, 5, IID_IUnknown, reinterpret_cast<void**>(&unk)), S_OK);
        if (!unk) return nullptr;
        EXPECT_EQ(unk->QueryInterface(IID_IGTarnvik, reinterpret_cast<void**>(&obj_)), S_OK);
        unk->Release();
        return obj_;
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string ErrorText() {
        auto info = GetErrorInfo();
        return info ? info->description : "<none>";
    }

    fs::path dir_;
    Flat flat_;
    IGTarnvik* obj_ = nullptr;
};

std::vector<float> Floats(const VARIANT& v) { return com::floatsOf(v).value_or(std::vector<float>{}); }

}  // namespace

TEST_F(SpcCom, RegistrationNamesTheLibraryAndCreationNeedsIt) {
    IUnknown* unk = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_GTarnvik, nullptr, 7, IID_IUnknown, reinterpret_cast<void**>(&unk)),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(oleErrorText(REGDB_E_CLASSNOTREG), "Class not registered");
    EXPECT_EQ(oleErrorText(static_cast<HRESULT>(0x80041234)), "OLE error 80041234");
    Register();
    auto path = com::registeredServerPath(CLSID_GTarnvik);
    ASSERT_TRUE(path);
    EXPECT_EQ(fs::canonical(*path), fs::canonical(VX_SPCLIB_PATH));
    const std::string cls = com::classKey(CLSID_GTarnvik);
    EXPECT_EQ(registry::readString(registry::Hive::CurrentUser, cls + "\\InprocServer32", "ThreadingModel").value_or(""),
              "Apartment");
    EXPECT_EQ(registry::readString(registry::Hive::CurrentUser, "Software\\Classes\\GTarnvikLib.GTarnvik\\CurVer", "")
                  .value_or(""),
              "GTarnvikLib.GTarnvik.1");
    ASSERT_EQ(CoCreateInstance(CLSID_GTarnvik, nullptr, 7, IID_IUnknown, reinterpret_cast<void**>(&unk)), S_OK);
    ISupportErrorInfo* sei = nullptr;
    ASSERT_EQ(unk->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&sei)), S_OK);
    EXPECT_EQ(sei->InterfaceSupportsErrorInfo(IID_IGTarnvik), S_OK);
    sei->Release();
    ICObject* cobj = nullptr;
    ASSERT_EQ(unk->QueryInterface(IID_ICObject, reinterpret_cast<void**>(&cobj)), S_OK);
    void* raw = reinterpret_cast<void*>(1);
    EXPECT_EQ(cobj->GetCObject(0xFFFFFFFF, -1, -1, nullptr), E_POINTER);
    EXPECT_EQ(cobj->GetCObject(0x000A0000, -1, -1, &raw), E_UNEXPECTED);
    EXPECT_EQ(raw, nullptr);
    EXPECT_EQ(cobj->GetCObject(0xFFFFFFFF, getpid() + 1, -1, &raw), E_UNEXPECTED);
    EXPECT_EQ(cobj->GetCObject(0x00090000, getpid(), -1, &raw), S_OK);
    EXPECT_NE(raw, nullptr);
    cobj->Release();
    unk->Release();

    auto unreg = flat_.get<DllRegisterServerFn>("DllUnregisterServer");
    ASSERT_EQ(unreg(), S_OK);
    EXPECT_FALSE(com::registeredServerPath(CLSID_GTarnvik));
    auto canUnload = flat_.get<DllRegisterServerFn>("DllCanUnloadNow");
    EXPECT_EQ(canUnload(), S_OK);
}

// Documents of every file type, built through the flat functions, saved, and read through COM.
TEST_F(SpcCom, FlatDocumentsReadBackThroughTheInterface) {
    auto create = flat_.get<void* (*)()>("TARNVIK_Create");
    auto destroy = flat_.get<void (*)(void*)>("TARNVIK_Destroy");
    auto createSpc = flat_.get<int32_t (*)(void*, int32_t)>("TARNVIK_CreateSpc");
    auto addSubFile = flat_.get<int32_t (*)(void*, const float*, const float*, int32_t, float, float)>("TARNVIK_AddSubFile");
    auto setText = [&](const char* n) { return flat_.get<int32_t (*)(void*, const char*)>(n); };
    auto setInt = [&](const char* n) { return flat_.get<int32_t (*)(void*, int32_t)>(n); };
    auto setDouble = [&](const char* n) { return flat_.get<int32_t (*)(void*, double)>(n); };
    auto appendKey = flat_.get<int32_t (*)(void*, const char*, const char*)>("TARNVIK_AppendLogKey");
    auto setSpare = flat_.get<int32_t (*)(void*, int32_t, float)>("TARNVIK_SetSpare");
    auto setDate = flat_.get<int32_t (*)(void*, uint16_t, uint16_t, uint16_t, uint16_t, uint16_t)>("TARNVIK_SetDate");
    auto setSubFileIndex = setInt("TARNVIK_SetSubFileIndex");
    auto setScans = setInt("TARNVIK_SetNumScans");
    auto saveFile = flat_.get<int32_t (*)(void*, const char*, int32_t)>("TARNVIK_SaveFile");
    IGTarnvik* g = Create();
    ASSERT_NE(g, nullptr);

    for (int type = 0; type <= 2; ++type) {
        SCOPED_TRACE(type);
        void* h = create();
        ASSERT_EQ(createSpc(h, type), 0);
        setDouble("TARNVIK_SetFirstPoint")(h, 500);
        setDouble("TARNVIK_SetLastPoint")(h, 700);
        setInt("TARNVIK_SetXType")(h, 3);
        setInt("TARNVIK_SetYType")(h, 128);
        setInt("TARNVIK_SetZType")(h, 4);
        setInt("TARNVIK_SetTechniqueType")(h, 7);
        setText("TARNVIK_SetComment")(h, "a comment");
        setText("TARNVIK_SetMethod")(h, "method.m");
        setText("TARNVIK_SetResolution")(h, "2 nm");
        setText("TARNVIK_SetSource")(h, "bench");
        setText("TARNVIK_SetYCustomLabel")(h, "Counts/s");
        flat_.get<int32_t (*)(void*, uint16_t)>("TARNVIK_SetPeakPoint")(h, 42);
        setSpare(h, 3, 1.25f);
        setDate(h, 2014, 4, 3, 10, 5);
        appendKey(h, "Instrum", "Unknown Instrument");
        appendKey(h, "User", "Me");
        for (int k = 0; k < 3; ++k) {
            std::vector<float> y{float(k), float(k) + 0.5f, float(k) + 0.25f};
            std::vector<float> x{500 + float(k), 600, 700 - float(k)};
            const float* xs = (type == 2 || (type == 1 && k == 0)) ? x.data() : nullptr;
            ASSERT_EQ(addSubFile(h, y.data(), xs, 3, 10.0f * float(k), 10.0f * float(k) + 5), 0) << k;
            setScans(h, 4 + k);
        }
        setSubFileIndex(h, 0);
        std::string file = Path("doc" + std::to_string(type) + ".spc");
        ASSERT_GT(saveFile(h, file.c_str(), -1), 512);
        destroy(h);

        com::Bstr name(file);
        spcIntegrity integrity = spcIntegrityKey;
        ASSERT_EQ(g->OpenFileWithCheck(name.get(), &integrity), S_OK);
        EXPECT_EQ(integrity, spcIntegrityNull);
        spcFileType ft;
        g->get_FileType(&ft);
        EXPECT_EQ(ft, type);
        int32_t n = 0;
        g->get_NumSubfiles(&n);
        EXPECT_EQ(n, 3);
        com::Bstr text;
        g->get_Comment(text.out());
        EXPECT_EQ(text.utf8(), "a comment");
        g->get_Method(text.out());
        EXPECT_EQ(text.utf8(), "method.m");
        g->get_Resolution(text.out());
        EXPECT_EQ(text.utf8(), "2 nm");
        g->get_Source(text.out());
        EXPECT_EQ(text.utf8(), "bench");
        g->get_TechniqueLabel(text.out());
        EXPECT_EQ(text.utf8(), "UV-VIS Spectrum");
        g->get_XLabel(text.out());
        EXPECT_EQ(text.utf8(), "Nanometers");
        g->get_YLabel(text.out());
        EXPECT_EQ(text.utf8(), "Counts/s");
        g->get_ZLabel(text.out());
        EXPECT_EQ(text.utf8(), "Seconds");
        g->GetLogKey(com::Bstr("USER").get(), text.out());
        EXPECT_EQ(text.utf8(), "Me");
        g->get_SpcVersion(text.out());
        EXPECT_EQ(text.utf8(), "4.0");
        int32_t peak = 0;
        g->get_PeakPoint(&peak);
        EXPECT_EQ(peak, 42);
        float spare = 0;
        g->get_Spare(3, &spare);
        EXPECT_EQ(spare, 1.25f);
        com::Variant date;
        g->get_Date(&date);
        ASSERT_EQ(date.vt, VT_DATE);
        EXPECT_NEAR(date.date, 41732.0 + 605.0 / 1440.0, 1e-9);
        for (int k = 0; k < 3; ++k) {
            ASSERT_EQ(g->put_SubFileIndex(k), S_OK);
            com::Variant xv, yv;
            g->get_XPoints(&xv);
            g->get_YPoints(&yv);
            EXPECT_EQ(Floats(yv), (std::vector<float>{float(k), float(k) + 0.5f, float(k) + 0.25f}));
            std::vector<float> x = Floats(xv);
            ASSERT_EQ(x.size(), 3u);
            std::vector<float> expected{500 + float(k), 600, 700 - float(k)};
            if (type == 0) expected = {0, 0, 0};
            if (type == 1) expected = {500, 600, 700};
            EXPECT_EQ(x, expected);
            float zs = 0, ze = 0;
            g->get_ZStart(&zs);
            g->get_ZEnd(&ze);
            EXPECT_EQ(zs, 10.0f * float(k));
            EXPECT_EQ(ze, 10.0f * float(k) + 5);
            int32_t scans = 0;
            g->get_NumScans(&scans);
            EXPECT_EQ(scans, 4 + k);
        }
        double first = 0, last = 0;
        g->get_FirstPoint(&first);
        g->get_LastPoint(&last);
        EXPECT_EQ(first, 500);
        EXPECT_EQ(last, 700);
    }
}

TEST_F(SpcCom, FailuresCarryTheirTextsAndKeepNoFileName) {
    IGTarnvik* g = Create();
    ASSERT_NE(g, nullptr);
    std::string text = Path("note.txt");
    std::ofstream(text) << "just some text, long enough to be no header at all......................";
    EXPECT_EQ(g->OpenFile(com::Bstr(text).get()), SPC_E_NOTVALID);
    EXPECT_EQ(ErrorText(), "Not valid spc data format.");

    std::string missing = Path("missing.spc");
    HRESULT hr = g->OpenFile(com::Bstr(missing).get());
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(ErrorText(), "Can not open file: '" + missing + "'\r\n(No such file or directory)");

    // The refused file's name is not kept, so a later save has no target.
    EXPECT_EQ(g->SaveFile(nullptr, -1), E_FAIL);
    EXPECT_EQ(ErrorText(), "Missing output file name.");
    EXPECT_FALSE(fs::exists(missing));

    g->CreateSpc(spcFileTypeEven);
    float y[2] = {1, 2};
    com::Variant yv;
    static_cast<VARIANT&>(yv) = com::floatArrayVariant(y, 2);
    ASSERT_EQ(g->AddSubFile(yv, com::missingArg(), 0, 0), S_OK);
    EXPECT_EQ(g->SaveFile(com::Bstr(Path("x.spc")).get(), 1), E_INVALIDARG);
    hr = g->SaveFile(com::Bstr(Path("no/such/dir/x.spc")).get(), -1);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(ErrorText().rfind("Can not save file: '" + Path("no/such/dir/x.spc") + "'", 0), 0u);

    // A failed save leaves the old file as it was.
    std::string target = Path("keep.spc");
    std::ofstream(target) << "old";
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(dir_.c_str(), W_OK) != 0) {  // not when running as root
        EXPECT_TRUE(FAILED(g->SaveFile(com::Bstr(target).get(), -1)));
        std::ifstream in(target);
        std::string content;
        in >> content;
        EXPECT_EQ(content, "old");
    }
    fs::permissions(dir_, fs::perms::owner_all);
}

// In a child process with a file size limit of 64 KB: a scratch store that cannot take the values
// reports the system's text, when points are added and when a file is decoded into the store.
[[noreturn]] void StoreBeyondTheFileSizeLimit(IGTarnvik* g, const std::string& bigEndianFile) {
    std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead of ending the process
    rlimit lim{64 * 1024, 64 * 1024};
    setrlimit(RLIMIT_FSIZE, &lim);
    std::string report;
    g->CreateSpc(spcFileTypeEven);
    std::vector<float> y(100'000, 1.0f);
    com::Variant yv;
    static_cast<VARIANT&>(yv) = com::floatArrayVariant(y.data(), y.size());
    HRESULT hr = g->AddSubFile(yv, com::missingArg(), 0, 0);
    auto info = GetErrorInfo();
    const std::string added = info ? info->description : "<none>";
    if (hr != HRESULT_FROM_WIN32(EFBIG) || added != "File too large") report += "add: " + added + "; ";
    hr = g->OpenFile(com::Bstr(bigEndianFile).get());
    info = GetErrorInfo();
    const std::string opened = info ? info->description : "<none>";
    if (hr != HRESULT_FROM_WIN32(EFBIG) || opened != "Can not open file: '" + bigEndianFile + "'\r\n(File too large)")
        report += "open: " + opened;
    std::fprintf(stderr, "%s", report.empty() ? "reported as the system's text" : report.c_str());
    std::fflush(stderr);
    _exit(report.empty() ? 0 : 1);
}

TEST_F(SpcCom, AFullScratchStoreReportsTheSystemsText) {
    IGTarnvik* g = Create();
    ASSERT_NE(g, nullptr);
    // A big-endian file of 100,000 points, whose values are decoded into the store.
    std::string file = Path("big.spc");
    {
        std::vector<uint8_t> bytes(512 + 32 + 400'000, 0);
        bytes[0] = 0x00;
        bytes[1] = 'L';
        bytes[3] = 0x80;
        bytes[4] = 0x00, bytes[5] = 0x01, bytes[6] = 0x86, bytes[7] = 0xA0;  // 100,000 points
        bytes[27] = 1;                                                     // one subfile
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    EXPECT_EXIT(StoreBeyondTheFileSizeLimit(g, file), ::testing::ExitedWithCode(0), "system's text");
}

TEST_F(SpcCom, MembersCheckTheirArguments) {
    IGTarnvik* g = Create();
    ASSERT_NE(g, nullptr);
    g->CreateSpc(spcFileTypeEven);
    EXPECT_EQ(g->put_ZIncrementTypeDefault(static_cast<spcZIncType>(-1)), S_OK);
    spcZIncType t;
    g->get_ZIncrementTypeDefault(&t);
    EXPECT_EQ(t, spcZIncTypeOrdered);
    EXPECT_EQ(g->put_Spare(8, 1), E_INVALIDARG);
    float f;
    EXPECT_EQ(g->get_Spare(-1, &f), E_INVALIDARG);
    com::Variant key;
    key.vt = VT_BSTR;
    key.bstrVal = com::allocBstr("k");
    EXPECT_EQ(g->put_IntegrityKey(key), S_FALSE);
    com::Variant got;
    EXPECT_EQ(g->get_IntegrityKey(&got), S_FALSE);
    EXPECT_EQ(g->get_IntegrityKey(nullptr), E_POINTER);
    spcWarning w;
    EXPECT_EQ(g->GetWarningCode(0, &w), E_INVALIDARG);
    EXPECT_EQ(g->put_ZIncrementType(spcZIncTypeEven), E_INVALIDARG);  // no multifile yet
    EXPECT_EQ(g->GetXTypeString(spcXArb, nullptr), E_POINTER);
    com::Bstr name;
    EXPECT_EQ(g->GetXTypeString(static_cast<spcXType>(15), name.out()), S_OK);
    EXPECT_EQ(name.get(), nullptr);
    EXPECT_EQ(g->GetTechniqueTypeString(spcTechUV, VARIANT_TRUE, name.out()), S_OK);
    EXPECT_EQ(name.utf8(), "UV/VIS/NIR");

    // Out values start empty; incoming ones are never freed.
    BSTR line = reinterpret_cast<BSTR>(0x1);
    int32_t len = 0;
    EXPECT_EQ(g->GetLogLine(0, &line, &len), S_OK);
    EXPECT_EQ(len, -1);
    EXPECT_EQ(line, nullptr);
    BSTR log = reinterpret_cast<BSTR>(0x1);
    EXPECT_EQ(g->get_LogText(VARIANT_FALSE, &log), S_OK);
    EXPECT_EQ(log, nullptr);

    // Arrays: Y must be R4 with elements; X only on documents that take it.
    com::Variant yv, xv, bad;
    float y[3] = {1, 2, 3};
    static_cast<VARIANT&>(yv) = com::floatArrayVariant(y, 3);
    static_cast<VARIANT&>(xv) = com::floatArrayVariant(y, 3);
    bad.vt = VT_I4;
    EXPECT_EQ(g->AddSubFile(bad, com::missingArg(), 0, 0), E_INVALIDARG);
    EXPECT_EQ(g->AddSubFile(yv, xv, 0, 0), E_INVALIDARG);
    EXPECT_EQ(g->AddSubFile(yv, com::missingArg(), 0, 0), S_OK);
    EXPECT_EQ(g->put_SubFileIndex(1), E_INVALIDARG);
    EXPECT_EQ(g->put_SubFileIndex(0), S_OK);
}

TEST_F(SpcCom, BlobAndClipboardRoundTrips) {
    IGTarnvik* g = Create();
    ASSERT_NE(g, nullptr);
    g->CreateSpc(spcFileTypeEven);
    g->put_FirstPoint(400);
    g->put_LastPoint(800);
    g->put_XType(spcXNMetr);
    float y[5] = {1, 2, 3, 4, 5};
    com::Variant yv;
    static_cast<VARIANT&>(yv) = com::floatArrayVariant(y, 5);
    ASSERT_EQ(g->AddPoints(yv, com::missingArg()), S_OK);
    com::Variant blob;
    ASSERT_EQ(g->SaveBlob(-1, &blob), S_OK);
    ASSERT_EQ(blob.vt, VT_ARRAY | VT_UI1);
    EXPECT_EQ(blob.parray->rgsabound[0].cElements, 512u + 32 + 20);

    // The library puts its data on the host's clipboard.
    ASSERT_EQ(g->SaveToClipboard(-1, VARIANT_FALSE), S_OK);
    auto spcData = GetClipboardData(RegisterClipboardFormat("SPC"));
    auto textData = GetClipboardData(CF_TEXT);
    ASSERT_TRUE(spcData && textData);
    EXPECT_EQ(spcData->size(), 564u);
    EXPECT_EQ(std::string(textData->begin(), textData->begin() + 13), "Nanometers\tY\r");

    g->CreateSpc(spcFileTypeEven);
    spcIntegrity integrity = spcIntegrityFail;
    ASSERT_EQ(g->OpenFromClipboardWithCheck(&integrity), S_OK);
    EXPECT_EQ(integrity, spcIntegrityNull);
    int32_t n = 0;
    g->get_NumPoints(&n);
    EXPECT_EQ(n, 5);

    // Only text on the clipboard: the text is opened.
    ASSERT_TRUE(OpenClipboard());
    EmptyClipboard();
    std::string t = "X\tY\r\n1\t10\r\n2\t20\r\n";
    SetClipboardData(CF_TEXT, std::vector<uint8_t>(t.begin(), t.end()));
    CloseClipboard();
    ASSERT_EQ(g->OpenFromClipboardWithCheck(&integrity), S_OK);
    EXPECT_EQ(integrity, spcIntegrityFail);
    com::Variant back;
    g->get_YPoints(&back);
    EXPECT_EQ(Floats(back), (std::vector<float>{10, 20}));

    ASSERT_EQ(g->OpenBlobWithCheck(blob, &integrity), S_OK);
    g->get_NumPoints(&n);
    EXPECT_EQ(n, 5);
    com::Variant notBytes;
    EXPECT_EQ(g->OpenBlob(notBytes), E_INVALIDARG);
}

TEST(ComLayer, GuidsStringsAndVariants) {
    auto g = com::guidFromString("{134659D0-FF30-11D3-8276-00104B7530E1}");
    ASSERT_TRUE(g);
    EXPECT_EQ(*g, CLSID_GTarnvik);
    EXPECT_EQ(com::guidToString(IID_IUnknown), "{00000000-0000-0000-C000-000000000046}");
    EXPECT_EQ(com::guidFromString("134659d0-ff30-11d3-8276-00104b7530e1"), g);
    for (const char* bad : {"", "{134659D0-FF30-11D3-8276-00104B7530E}", "{134659D0+FF30-11D3-8276-00104B7530E1}",
                            "{134659G0-FF30-11D3-8276-00104B7530E1}"})
        EXPECT_FALSE(com::guidFromString(bad)) << bad;

    BSTR s = com::allocBstr("a\xC3\xA9\xF0\x9F\x98\x80");  // a, e acute, one character outside the BMP
    EXPECT_EQ(SysStringLen(s), 4u);
    EXPECT_EQ(com::bstrToUtf8(s), "a\xC3\xA9\xF0\x9F\x98\x80");
    SysFreeString(s);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(com::bstrToUtf8(nullptr), "");
    SysFreeString(nullptr);

    VARIANT r8, out;
    VariantInit(&r8);
    VariantInit(&out);
    r8.vt = VT_R8;
    r8.dblVal = 41732.5;
    ASSERT_EQ(VariantChangeType(&out, &r8, 0, VT_DATE), S_OK);
    EXPECT_EQ(out.vt, VT_DATE);
    EXPECT_EQ(out.date, 41732.5);
    r8.dblVal = 3e9;
    EXPECT_EQ(VariantChangeType(&out, &r8, 0, VT_I4), DISP_E_TYPEMISMATCH);
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = com::allocBstr("1.5");
    ASSERT_EQ(VariantChangeType(&out, &text, 0, VT_R8), S_OK);
    EXPECT_EQ(out.dblVal, 1.5);
    VariantClear(&text);
    text.vt = VT_BSTR;
    text.bstrVal = com::allocBstr("1.5x");
    EXPECT_EQ(VariantChangeType(&out, &text, 0, VT_R8), DISP_E_TYPEMISMATCH);
    VariantClear(&text);

    EXPECT_EQ(HRESULT_FROM_WIN32(2), static_cast<HRESULT>(0x80070002));
    EXPECT_EQ(HRESULT_FROM_WIN32(0), 0);
    EXPECT_EQ(systemMessage(HRESULT_FROM_WIN32(2)), "No such file or directory");
    EXPECT_EQ(com::floatsOf(com::missingArg()), std::nullopt);
}
