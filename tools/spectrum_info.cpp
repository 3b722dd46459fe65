#include "tools/spectrum_info.h"

#include "core/file_names.h"
#include "platform/numtext.h"

namespace {

using numtext::FloatFormat;

std::string general(double v) { return numtext::FloatToStr(v); }
std::string fixed(double v, int digits) { return numtext::FloatToStrF(v, FloatFormat::Fixed, 15, digits); }

// The window shows up to 57 (date), 60 (comments, solvent) or 64 (type) characters of a text; the
// record's texts hold at most 50, so they are shown whole.
std::string textOr(const std::string& label, const std::string& text, const std::string& unset) {
    return text.empty() ? unset : label + text;
}

}  // namespace

std::vector<std::string> BuildInfoText(const TSpectrumRecord& rec) {
    std::vector<std::string> l;
    const std::string file = rec.FileName.str();
    l.push_back("filepath:\t" + FolderOf(file));
    l.push_back("filename:\t" + NameWithoutFolder(file));
    l.push_back(textOr("date:\t\t", rec.DateText.str(), "Date:\t\t--"));
    l.push_back("description\t" + rec.Title.str());
    l.push_back(textOr("comment1:\t", rec.Comment1.str(), "Comment1:\t--"));
    l.push_back(textOr("comment2:\t", rec.Comment2.str(), "Comment2:\t--"));
    l.push_back(textOr("spectrum type\t", rec.SpecType.str(), "spectrum type\t--"));
    l.push_back("-------------------------------------------------------");
    l.push_back(textOr("solvent:\t\t", rec.Solvent.str(), "Solvent:\t--"));
    l.push_back("absorption path length:\t" + general(rec.PathLength) + " cm");
    l.push_back(rec.Concentration > 0 ? "concentration:\t" + general(rec.Concentration) + " mol/l"
                                      : "concentration:\t--");
    l.push_back(rec.ExcitationWl > 0 ? "wavelength:\t" + fixed(rec.ExcitationWl, 2) + " nm" : "wavelength:\t--");
    l.push_back(rec.Temperature > 0 ? "temperature:\t" + general(rec.Temperature) + " K" : "Temperature:\t--");
    const double last = rec.FirstX + static_cast<double>(rec.PointCount() - 1) * rec.StepX;
    if (rec.XUnit == SpecXNanometer) {
        l.push_back("start wavelength:\t" + fixed(rec.FirstX, 2) + " nm");
        l.push_back("end wavelength\t" + fixed(last, 2) + " nm");
        l.push_back("step width:\t" + fixed(rec.StepX, 4) + " nm");
    } else if (rec.XUnit == SpecXWavenumber || rec.XUnit == SpecXRamanShift) {
        l.push_back("start wavenumber:\t" + fixed(rec.FirstX, 2) + " cm^-1");
        l.push_back("end wavenumber\t" + fixed(last, 2) + " cm^-1");
        l.push_back("step width:\t" + fixed(rec.StepX, 4) + " cm^-1");
    }
    l.push_back("data points\t" + std::to_string(rec.PointCount()));
    return l;
}
