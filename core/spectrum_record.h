#pragma once
// The spectrum record: texts, measurement parameters, an equidistant x grid and the stored y values.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/unit_codes.h"
#include "platform/codepage.h"

// A text field of a record, holding at most N single-byte (Windows-1252) characters: longer texts are
// cut when they are assigned. Kept as UTF-8.
template <std::size_t N>
class ShortText {
public:
    ShortText() = default;
    explicit ShortText(std::string_view s) : text_(cp1252::cut(s, N)) {}
    ShortText& operator=(std::string_view s) {
        text_ = cp1252::cut(s, N);
        return *this;
    }
    ShortText& operator=(const std::string& s) { return *this = std::string_view(s); }
    ShortText& operator=(const char* s) { return *this = std::string_view(s); }
    const std::string& str() const { return text_; }
    operator const std::string&() const { return text_; }  // NOLINT
    bool empty() const { return text_.empty(); }
    const char* c_str() const { return text_.c_str(); }
    static constexpr std::size_t capacity = N;
    friend bool operator==(const ShortText& a, const ShortText& b) { return a.text_ == b.text_; }
    friend bool operator==(const ShortText& a, std::string_view b) { return a.text_ == b; }
    friend std::string operator+(const ShortText& a, std::string_view b) {
        return a.text_ + std::string(b);
    }
    friend std::string operator+(std::string_view a, const ShortText& b) {
        return std::string(a) + b.text_;
    }

private:
    std::string text_;
};

// `SpecSourceKind` codes with a meaning of their own in the core.
enum : int32_t {
    SpecSourceMiltonRoy = 1,
    SpecSourceGaussModel = 4,
    SpecSourceRaw = 7,
    SpecSourcePrn = 10,
    SpecSourceAscii = 11,
    SpecSourcePerkinElmerSp = 18,
    SpecSourceQySeries = 20,
    SpecSourceText = 21,
    SpecSourceGgg = 22,
    SpecSourceReduced = 27,
    SpecSourceJcamp = 28,
    SpecSourceSpcLibrary = 30,
    SpecSourceWebcamLive = 47,
    SpecSourceWebcamDark = 48,
    SpecSourceWebcamReference = 49,
    SpecSourceImage = 50,
};

// Tells one record object from every other one, also from its copies: a copy or an assignment gets a
// number of its own. Code that must find "its" record again after the list changed (a deleted record's
// memory may carry a new record) compares this, not addresses.
class RecordIdentity {
public:
    RecordIdentity() : value_(Next()) {}
    RecordIdentity(const RecordIdentity&) : value_(Next()) {}
    RecordIdentity& operator=(const RecordIdentity&) { return *this; }
    uint64_t Value() const { return value_; }

private:
    static uint64_t Next();
    uint64_t value_;
};

struct TSpectrumRecord {
    ShortText<255> FileName;
    ShortText<255> Title;
    ShortText<50> Comment1;
    ShortText<50> Comment2;
    ShortText<50> SpecType;
    ShortText<50> Solvent;
    ShortText<50> DateText;
    double Concentration = 0.0;
    double PathLength = 1.0;
    double ConcTimesPath = 0.0;  // Concentration * PathLength, refreshed by every y conversion
    double ExcitationWl = -1.0;
    double Temperature = -1.0;
    double ExposureTime = -1.0;
    double FirstX = 0.0;
    double StepX = 0.0;
    int32_t SourceKind = 0;
    SpecXUnit XUnit = SpecXNanometer;
    SpecYKind YKind = SpecYAbsorbance;
    uint32_t Color = 0;   // 0x00BBGGRR
    uint8_t LineStyle = 0;  // 0 solid, 1 dashed, 2 dotted
    int32_t LineWidth = 1;
    // The stored y values; the point count is always their number.
    std::vector<double> Values;
    RecordIdentity Identity;  // not part of the record image

    int32_t PointCount() const { return static_cast<int32_t>(Values.size()); }
    // x of point i in the record's own unit.
    double XAt(int32_t i) const { return FirstX + i * StepX; }
    // Checked access to a stored value; raises "List index out of bounds (%d)".
    double& ValueAt(int32_t i);
    double ValueAt(int32_t i) const;
    // A record worth keeping: at least two points on a finite, non-zero grid and finite values.
    bool IsComplete() const;
    // The grid part of that test alone, for readers that have checked their values as they made them.
    bool HasUsableGrid() const;
};
