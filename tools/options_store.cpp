#include "tools/options_store.h"

#include <algorithm>
#include <optional>

#include "core/helpers.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/registry.h"

namespace options {
namespace {

using SO = StoredOptions;

OptionField flag(const char* name, bool SO::*m) { return {name, m}; }
OptionField item(const char* name, int32_t SO::*m, int32_t min, int32_t max) {
    return {name, m, min, max};
}
OptionField text(const char* name, std::string SO::*m) { return {name, m}; }
OptionField lines(const char* name, std::vector<std::string> SO::*m) { return {name, m}; }
OptionField number(const char* name, std::string SO::*m, NumberKind kind,
                   SeparatorRule rule = SeparatorRule::AsTyped) {
    OptionField f{name, m};
    f.number = kind;
    f.rule = rule;
    f.rewritesText = rule != SeparatorRule::AsTyped;
    return f;
}

const std::vector<OptionField> kFields = {
    flag("OGitter.Checked", &SO::OGitter),
    flag("OLegende.Checked", &SO::OLegende),
    flag("OMaximiert.Checked", &SO::OMaximiert),
    item("OLinien.ItemIndex", &SO::OLinien, 0, 1),
    OptionField{"OHintergrund.ColorValue", &SO::OHintergrund},
    item("RxSlider1.Value", &SO::RxSlider1, 1, 7),
    flag("OSchwarz.Checked", &SO::OSchwarz),
    flag("OLinienarten.Checked", &SO::OLinienarten),
    number("OSchichtdicke.Text", &SO::OSchichtdicke, NumberKind::Float, SeparatorRule::DotsToSep),
    text("OAchsenfont.FontName", &SO::OAchsenfont),
    item("OAchsenfontSize.Value", &SO::OAchsenfontSize, 3, 25),
    text("OLegendefont.FontName", &SO::OLegendefont),
    item("OLegendefontSize.Value", &SO::OLegendefontSize, 3, 25),
    flag("OXBeschriftung.Checked", &SO::OXBeschriftung),
    flag("OXZweiterTick.Checked", &SO::OXZweiterTick),
    flag("OXAndereBeschriftung.Checked", &SO::OXAndereBeschriftung),
    text("OXAndererText.Text", &SO::OXAndererText),
    flag("OZweiteXAchse.Checked", &SO::OZweiteXAchse),
    flag("OYBeschriftung.Checked", &SO::OYBeschriftung),
    flag("OYAndereBeschriftung.Checked", &SO::OYAndereBeschriftung),
    text("OYAndererText.Text", &SO::OYAndererText),
    text("OOEffnenPfad.Text", &SO::OOEffnenPfad),
    text("OSpeichernPfad.Text", &SO::OSpeichernPfad),
    item("OASCIISchrittweite.ItemIndex", &SO::OASCIISchrittweite, 0, 2),
    text("OKorrekturspektrum.FileName", &SO::OKorrekturspektrumFileName),
    lines("OKorrekturspektrum.HistoryList", &SO::OKorrekturspektrumHistory),
    text("OLampenspektrum.FileName", &SO::OLampenspektrumFileName),
    lines("OLampenspektrum.HistoryList", &SO::OLampenspektrumHistory),
    text("OGnuplotTitel.Text", &SO::OGnuplotTitel),
    item("OGnuplotLegendeposition.ItemIndex", &SO::OGnuplotLegendeposition, 0, 3),
    item("OGnuplotPSOutput.ItemIndex", &SO::OGnuplotPSOutput, 0, 1),
    lines("OGnuplotBefehlliste.Lines", &SO::OGnuplotBefehlliste),
    flag("OSpikeOriginalLoeschen.Checked", &SO::OSpikeOriginalLoeschen),
    flag("OSpikeAlle.Checked", &SO::OSpikeAlle),
    flag("OSpikeRueckwaerts.Checked", &SO::OSpikeRueckwaerts),
    flag("OSpikeZusatz.Checked", &SO::OSpikeZusatz),
    item("OSpikeSchranke.Value", &SO::OSpikeSchranke, 30, 80),
    flag("OSchneidOriginalLoeschen.Checked", &SO::OSchneidOriginalLoeschen),
    flag("OSchneidZusatz.Checked", &SO::OSchneidZusatz),
    number("OSchneidVon.Text", &SO::OSchneidVon, NumberKind::Float, SeparatorRule::ToRegional),
    number("OSchneidBis.Text", &SO::OSchneidBis, NumberKind::Float, SeparatorRule::ToRegional),
    flag("OYKonstLoesch.Checked", &SO::OYKonstLoesch),
    flag("OYKonstZusatz.Checked", &SO::OYKonstZusatz),
    item("OYKonstRechenart.ItemIndex", &SO::OYKonstRechenart, 0, 3),
    // The constant is converted by the Y constants dialog, which takes "." as well; checked the same
    // way here but kept as typed.
    [] {
        OptionField f = number("OYKonstKonstante.Text", &SO::OYKonstKonstante, NumberKind::Float,
                               SeparatorRule::DotsToSep);
        f.rewritesText = false;
        return f;
    }(),
    number("OFQInnererFilter.Text", &SO::OFQInnererFilter, NumberKind::Float, SeparatorRule::ToRegional),
    number("OFQMesslaenge.Text", &SO::OFQMesslaenge, NumberKind::Float, SeparatorRule::ToRegional),
    number("OFQRefFQ.Text", &SO::OFQRefFQ, NumberKind::Float, SeparatorRule::ToRegional),
    number("OFQRefN.Text", &SO::OFQRefN, NumberKind::Float, SeparatorRule::ToRegional),
    number("OFQProbeN.Text", &SO::OFQProbeN, NumberKind::Float, SeparatorRule::ToRegional),
    number("OFQBandbreite.Text", &SO::OFQBandbreite, NumberKind::Integer),
    number("OFQvRefInt.Text", &SO::OFQvRefInt, NumberKind::Float),
    number("OFQbRefInt.Text", &SO::OFQbRefInt, NumberKind::Float),
    number("OFQvProbeInt.Text", &SO::OFQvProbeInt, NumberKind::Float),
    number("OFQbProbeInt.Text", &SO::OFQbProbeInt, NumberKind::Float),
    number("OFQRefAnr.Text", &SO::OFQRefAnr, NumberKind::Integer),
    number("OFQRefBel.Text", &SO::OFQRefBel, NumberKind::Float),
    number("OFQProbeAnr.Text", &SO::OFQProbeAnr, NumberKind::Integer),
    number("OFQProbeBel.Text", &SO::OFQProbeBel, NumberKind::Float),
    flag("OMultipleInstances.Checked", &SO::OMultipleInstances),
};

const OptionField& fieldNamed(std::string_view name) {
    for (const auto& f : kFields)
        if (name == f.name) return f;
    throw vx::Error("unknown option " + std::string(name));
}

// The prepared text converted; throws the conversion error naming the prepared text.
double convertField(const StoredOptions& o, const OptionField& f, char sep) {
    std::string t = PrepareNumberText(o.*std::get<std::string SO::*>(f.member), f.rule, sep);
    if (f.number == NumberKind::Integer) return numtext::StrToInt(t);
    return numtext::StrToFloat(t, sep);
}

double convertNamed(const StoredOptions& o, std::string_view name, char sep) {
    return convertField(o, fieldNamed(name), sep);
}

std::string joinLines(const std::vector<std::string>& v) {
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (i) out += "\r\n";
        out += v[i];
    }
    return out;
}

std::vector<std::string> splitLines(const std::string& s) {
    if (s.empty()) return {};
    return SplitLines(s);
}

std::optional<long long> parseInteger(const std::string& s) {
    auto v = numtext::TryStrToInt(s);
    if (v) return *v;
    // Colours beyond the signed range are stored as unsigned decimals.
    if (s.empty() || s.size() > 10 || !std::all_of(s.begin(), s.end(), [](char c) {
            return c >= '0' && c <= '9';
        }))
        return std::nullopt;
    return std::stoll(s);
}

// Reads one stored value into the options; false when it is there but does not convert.
bool readField(StoredOptions& o, const OptionField& f) {
    using registry::Hive;
    auto s = registry::readString(Hive::CurrentUser, kOptionsKey, f.name);
    if (!s) {
        // A number written as a DWORD by hand is accepted too.
        auto d = registry::readDword(Hive::CurrentUser, kOptionsKey, f.name);
        if (d) s = std::to_string(*d);
    }
    if (!s) {
        // Missing: keep the default, unless the name is there with another type.
        for (const auto& n : registry::valueNames(Hive::CurrentUser, kOptionsKey))
            if (LowerAscii(n) == LowerAscii(f.name)) return false;
        return true;
    }
    const std::string& v = *s;
    return std::visit(
        [&](auto m) -> bool {
            using M = decltype(m);
            if constexpr (std::is_same_v<M, bool SO::*>) {
                std::string l = LowerAscii(Trim(v));
                if (l == "true" || l == "1") o.*m = true;
                else if (l == "false" || l == "0") o.*m = false;
                else return false;
                return true;
            } else if constexpr (std::is_same_v<M, int32_t SO::*>) {
                auto n = parseInteger(Trim(v));
                if (!n || *n < f.min || *n > f.max) return false;
                o.*m = static_cast<int32_t>(*n);
                return true;
            } else if constexpr (std::is_same_v<M, uint32_t SO::*>) {
                auto n = parseInteger(Trim(v));
                if (!n || *n < 0 || *n > 0x00FFFFFF) return false;
                o.*m = static_cast<uint32_t>(*n);
                return true;
            } else if constexpr (std::is_same_v<M, std::string SO::*>) {
                o.*m = v;
                return true;
            } else {
                o.*m = splitLines(v);
                return true;
            }
        },
        f.member);
}

std::string storedText(const StoredOptions& o, const OptionField& f) {
    return std::visit(
        [&](auto m) -> std::string {
            using M = decltype(m);
            if constexpr (std::is_same_v<M, bool SO::*>) return o.*m ? "True" : "False";
            else if constexpr (std::is_same_v<M, int32_t SO::*>) return std::to_string(o.*m);
            else if constexpr (std::is_same_v<M, uint32_t SO::*>) return std::to_string(o.*m);
            else if constexpr (std::is_same_v<M, std::string SO::*>) return o.*m;
            else return joinLines(o.*m);
        },
        f.member);
}

}  // namespace

const std::vector<OptionField>& OptionFields() { return kFields; }

std::string PrepareNumberText(std::string text, SeparatorRule rule, char sep) {
    switch (rule) {
    case SeparatorRule::AsTyped: break;
    case SeparatorRule::DotsToSep: std::replace(text.begin(), text.end(), '.', sep); break;
    case SeparatorRule::ToRegional:
        if (sep == '.') std::replace(text.begin(), text.end(), ',', '.');
        else std::replace(text.begin(), text.end(), '.', sep);
        break;
    }
    return text;
}

StoredOptions WithPreparedTexts(StoredOptions o, char sep) {
    for (const auto& f : kFields) {
        if (!f.rewritesText) continue;
        auto& t = o.*std::get<std::string SO::*>(f.member);
        t = PrepareNumberText(t, f.rule, sep);
    }
    return o;
}

void ValidateNumberFields(const StoredOptions& o, char sep) {
    for (const auto& f : kFields)
        if (f.number != NumberKind::None) convertField(o, f, sep);
}

OptionNumbers ConvertNumbers(const StoredOptions& o, char sep) {
    ValidateNumberFields(o, sep);
    OptionNumbers n;
    n.PathLength = convertNamed(o, "OSchichtdicke.Text", sep);
    n.SpikeThreshold = o.OSpikeSchranke * 0.1;
    n.CutFrom = convertNamed(o, "OSchneidVon.Text", sep);
    n.CutTo = convertNamed(o, "OSchneidBis.Text", sep);
    n.QyInnerFilter = convertNamed(o, "OFQInnererFilter.Text", sep);
    n.QyPathLength = convertNamed(o, "OFQMesslaenge.Text", sep);
    n.QyBandWidth = static_cast<int32_t>(convertNamed(o, "OFQBandbreite.Text", sep));
    n.QyRefYield = convertNamed(o, "OFQRefFQ.Text", sep) / 100.0;
    n.QyRefN = convertNamed(o, "OFQRefN.Text", sep);
    n.QySampleN = convertNamed(o, "OFQProbeN.Text", sep);
    n.QyRefFrom = convertNamed(o, "OFQvRefInt.Text", sep);
    n.QyRefTo = convertNamed(o, "OFQbRefInt.Text", sep);
    n.QySampleFrom = convertNamed(o, "OFQvProbeInt.Text", sep);
    n.QySampleTo = convertNamed(o, "OFQbProbeInt.Text", sep);
    n.QyRefExcitation = convertNamed(o, "OFQRefAnr.Text", sep);
    n.QySampleExcitation = convertNamed(o, "OFQProbeAnr.Text", sep);
    n.QyRefBel = convertNamed(o, "OFQRefBel.Text", sep);
    n.QySampleBel = convertNamed(o, "OFQProbeBel.Text", sep);
    return n;
}

LoadedOptions LoadStoredOptions() {
    using registry::Hive;
    LoadedOptions r;
    auto version = registry::readDword(Hive::CurrentUser, kOptionsKey, kFormVersionName);
    if (!version) {
        auto s = registry::readString(Hive::CurrentUser, kOptionsKey, kFormVersionName);
        if (s) {
            auto n = numtext::TryStrToInt(Trim(*s));
            if (n && *n >= 0) version = static_cast<uint32_t>(*n);
        }
    }
    if (!version || *version != kFormVersion) return r;
    r.found = true;
    const char sep = numtext::decimalSeparator();
    for (const auto& f : kFields) {
        StoredOptions trial = r.options;
        bool ok = readField(trial, f);
        if (ok && f.number != NumberKind::None) {
            try {
                convertField(trial, f, sep);
            } catch (const vx::ConversionError&) {
                ok = false;
            }
        }
        if (ok) r.options = std::move(trial);
        else r.badValues.push_back(f.name);
    }
    return r;
}

bool SaveStoredOptions(const StoredOptions& o) {
    using registry::Hive;
    registry::WriteBatch batch(Hive::CurrentUser);
    bool ok = registry::writeDword(Hive::CurrentUser, kOptionsKey, kFormVersionName, kFormVersion);
    for (const auto& f : kFields)
        ok = ok && registry::writeString(Hive::CurrentUser, kOptionsKey, f.name, storedText(o, f));
    return batch.commit() && ok;
}

std::string BadValuesWarning(const std::vector<std::string>& names) {
    std::string list;
    for (const auto& n : names) list += (list.empty() ? "" : ", ") + n;
    return "Stored options could not be read and were reset to their defaults: " + list;
}

bool UsableFolder(const std::string& folder) {
    if (folder.empty() || folder.find('\\') != std::string::npos) return false;
    const bool driveLetter = folder.size() >= 2 && folder[1] == ':' &&
                             ((folder[0] >= 'A' && folder[0] <= 'Z') || (folder[0] >= 'a' && folder[0] <= 'z'));
    return !driveLetter;
}

}  // namespace options
