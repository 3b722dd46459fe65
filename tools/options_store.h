#pragma once
// The stored options of the options dialog as plain data: their defaults, the value names under which
// they live in the settings store, loading with a fall-back per value, saving, and the conversion of
// their number texts. The dialog and ApplyOptions sit on top of this; nothing here needs a display.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "core/file_names.h"

namespace options {

inline constexpr const char* kSettingsKey = "SOFTWARE\\Brightmoor\\Varolux32";
inline constexpr const char* kOptionsKey = "SOFTWARE\\Brightmoor\\Varolux32\\Optionen";
inline constexpr const char* kFormVersionName = "FormVersion";
inline constexpr uint32_t kFormVersion = 1;

inline constexpr uint32_t kWhite = 0x00FFFFFF;

// Each member is named after the control that shows it.
struct StoredOptions {
    bool OGitter = true;
    bool OLegende = true;
    bool OMaximiert = false;
    int32_t OLinien = 0;  // 0 lines, 1 points
    uint32_t OHintergrund = kWhite;
    int32_t RxSlider1 = 1;  // the plot's base line width
    bool OSchwarz = false;
    bool OLinienarten = false;
    std::string OSchichtdicke = "1";
    std::string OAchsenfont = "Arial";
    int32_t OAchsenfontSize = 10;
    std::string OLegendefont = "Arial";
    int32_t OLegendefontSize = 10;
    bool OXBeschriftung = true;
    bool OXZweiterTick = false;
    bool OXAndereBeschriftung = false;
    std::string OXAndererText = "Wavelength [nm]";
    bool OZweiteXAchse = false;
    bool OYBeschriftung = true;
    bool OYAndereBeschriftung = false;
    std::string OYAndererText = "absorbance / intensity";
    std::string OOEffnenPfad;
    std::string OSpeichernPfad;
    int32_t OASCIISchrittweite = 1;
    std::string OKorrekturspektrumFileName;
    std::vector<std::string> OKorrekturspektrumHistory;
    std::string OLampenspektrumFileName;
    std::vector<std::string> OLampenspektrumHistory;
    std::string OGnuplotTitel;
    int32_t OGnuplotLegendeposition = 2;
    int32_t OGnuplotPSOutput = 0;
    std::vector<std::string> OGnuplotBefehlliste;
    bool OSpikeOriginalLoeschen = true;
    bool OSpikeAlle = true;
    bool OSpikeRueckwaerts = false;
    bool OSpikeZusatz = false;
    int32_t OSpikeSchranke = 56;
    bool OSchneidOriginalLoeschen = true;
    bool OSchneidZusatz = false;
    std::string OSchneidVon = "-1";
    std::string OSchneidBis = "-1";
    bool OYKonstLoesch = false;
    bool OYKonstZusatz = true;
    int32_t OYKonstRechenart = 2;
    std::string OYKonstKonstante = "1";
    std::string OFQInnererFilter = "0,0922";
    std::string OFQMesslaenge = "0,00625";
    std::string OFQRefFQ = "95";
    std::string OFQRefN = "1,3611";
    std::string OFQProbeN = "1,4459";
    std::string OFQBandbreite = "3";
    std::string OFQvRefInt = "510";
    std::string OFQbRefInt = "750";
    std::string OFQvProbeInt = "500";
    std::string OFQbProbeInt = "800";
    std::string OFQRefAnr = "500";
    std::string OFQRefBel = "10";
    std::string OFQProbeAnr = "550";
    std::string OFQProbeBel = "10";
    bool OMultipleInstances = false;

    friend bool operator==(const StoredOptions&, const StoredOptions&) = default;
};

// How the text of a number field is prepared before it is converted.
enum class SeparatorRule {
    AsTyped,      // converted as it stands
    DotsToSep,    // every "." becomes the regional separator (the path length)
    ToRegional,   // "," -> "." when the separator is ".", else "." -> the separator
};
enum class NumberKind { None, Float, Integer };

using OptionMember =
    std::variant<bool StoredOptions::*, int32_t StoredOptions::*, uint32_t StoredOptions::*,
                 std::string StoredOptions::*, std::vector<std::string> StoredOptions::*>;

struct OptionField {
    const char* name;  // value name in the store: control name, ".", property
    OptionMember member;
    int32_t min = 0;  // range of integer properties (item indices, slider and spin values)
    int32_t max = 0;
    NumberKind number = NumberKind::None;  // text fields that hold a number
    SeparatorRule rule = SeparatorRule::AsTyped;
    bool rewritesText = false;  // ApplyOptions writes the prepared text back into the field
};

// Every stored property, in the order in which it is stored.
const std::vector<OptionField>& OptionFields();

// The text of a number field prepared by its rule for the separator `sep`.
std::string PrepareNumberText(std::string text, SeparatorRule rule, char sep);
// The texts that ApplyOptions writes back (path length, cut-off, quantum-yield numbers), prepared.
StoredOptions WithPreparedTexts(StoredOptions o, char sep);
// Throws the conversion error of the first number field (in stored order) that does not convert.
void ValidateNumberFields(const StoredOptions& o, char sep);

// The numbers of the options, converted as ApplyOptions converts them.
struct OptionNumbers {
    double PathLength = 1.0;
    double SpikeThreshold = 5.6;
    double CutFrom = -1.0;
    double CutTo = -1.0;
    double QyInnerFilter = 0.0;
    double QyPathLength = 0.0;
    int32_t QyBandWidth = 0;
    double QyRefYield = 0.0;  // a fraction: the percent text / 100
    double QyRefN = 0.0;
    double QySampleN = 0.0;
    double QyRefFrom = 0.0;
    double QyRefTo = 0.0;
    double QySampleFrom = 0.0;
    double QySampleTo = 0.0;
    double QyRefExcitation = 0.0;  // integers kept as real numbers
    double QySampleExcitation = 0.0;
    double QyRefBel = 0.0;
    double QySampleBel = 0.0;
};
// Prepares and converts; throws the conversion error of the first bad field.
OptionNumbers ConvertNumbers(const StoredOptions& o, char sep);

struct LoadedOptions {
    StoredOptions options;
    bool found = false;                  // a store of this form version was there
    std::vector<std::string> badValues;  // value names that did not convert and fell back
};
// Reads the section "Optionen" of the current user. Missing values keep their defaults; a value that
// does not convert (or lies outside its range) falls back to its default and is named in badValues.
// A store of another form version is ignored as a whole.
LoadedOptions LoadStoredOptions();
// Writes "FormVersion" and every stored property; false when the store could not be written.
bool SaveStoredOptions(const StoredOptions& o);

// The one warning shown when stored values fell back to their defaults.
std::string BadValuesWarning(const std::vector<std::string>& names);

// Folder part of a file name including its final "/", empty when it has none.
using ::FolderOf;
// Whether a folder text can serve as a folder here: not empty and no Windows path ("\", "C:"), which
// is shown as stored but leaves the folder in use as it is.
bool UsableFolder(const std::string& folder);

}  // namespace options
