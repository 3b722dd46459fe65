// Gnuplot export: quoting, number texts, the command and data files, and the files run through gnuplot
// with the init files and templates the build puts beside the program.
#include <sys/wait.h>

#include <cstdio>

#include "core/helpers.h"
#include "exports_test_support.h"
#include "tests/fault_injection.h"
#include "tests/stopped_saves.h"
#include "tools/gnuplot_export.h"

namespace {

using namespace exptest;

bool hasLine(const std::vector<std::string>& lines, const std::string& l) {
    return std::find(lines.begin(), lines.end(), l) != lines.end();
}

TEST(GnuplotTexts, Quoting) {
    EXPECT_EQ(GnuplotSingleQuoted("it's"), "'it''s'");
    EXPECT_EQ(GnuplotSingleQuoted("a\"b`c\\d"), "'a\"b`c\\d'");
    EXPECT_EQ(GnuplotDoubleQuoted("a\"b\\c`d'e"), "\"a\\\"b\\\\c'd'e\"");
    EXPECT_EQ(GnuplotSingleQuoted("one\r\ntwo"), "'one  two'");
    EXPECT_EQ(GnuplotDoubleQuoted("one\ntwo"), "\"one two\"");
}

TEST(GnuplotTexts, NumbersAreRoundedToTheirWidthNeverCut) {
    struct Case {
        const char* text;
        std::size_t width;
        const char* want;
    } cases[] = {
        {"24937.655860349128", 8, "24937.66"}, {"400.01600256", 6, "400.02"}, {"400", 6, "400"},
        {"99999.999", 8, "100000"},            {"123456789.5", 6, "123456790"}, {"1.23E-7", 6, "1.23E-7"},
        {"1e+20", 3, "1e+20"},                 {"-0.0000123", 8, "-0.00001"}, {"-0.0000012", 8, "0"},
        {"0.25", 10, "0.25"},                  {"3.14159", 4, "3.14"},         {"9.96", 3, "10"},
    };
    for (const Case& c : cases) EXPECT_EQ(GnuplotFitNumber(c.text, c.width), c.want) << c.text << " in " << c.width;
}

class GnuplotExport : public ExportTest {
protected:
    TGnuplotSettings settings() const {
        TGnuplotSettings s;
        s.FileName = out() + "plot.plt";
        s.Title = "Absorption";
        s.XLabel = "Wavelength [nm]";
        s.YLabel = "Absorbance";
        s.LegendPosition = 2;
        return s;
    }
    TGnuplotPlot plot(double lo, double hi) const {
        TGnuplotPlot p;
        p.XDrawnMin = lo;
        p.XDrawnMax = hi;
        p.Y1DrawnMin = 0.0;
        p.Y1DrawnMax = 1.25;
        return p;
    }
    const std::vector<std::string> templ = {"set terminal push", "set output 'old.eps'", "replot", "set output",
                                            "set terminal pop"};
    TSpectraList list;
};

TEST_F(GnuplotExport, CommandFileLines) {
    list.Add(spectrum("A", 400, 1, 101));
    list.Add(spectrum("B", 400, 1, 101, 2));
    auto raw = spectrum("it's C", 400, 1, 101, 3);
    raw->SourceKind = SpecSourceRaw;
    list.Add(std::move(raw));
    TGnuplotSettings s = settings();
    s.RawCurves = true;
    s.CommandsOn = true;
    s.CommandLines = {"set grid", "set mxtics 5"};
    const auto t = GnuplotExportTexts(list, {SpecXNanometer, SpecYAbsorbance}, s, plot(400, 500), "/opt/vx/", templ);
    const auto l = linesOf(t.Command);
    const std::vector<std::string> head = {"# Creator Varolux32 Version 1.72.2p",
                                           "set xlabel \"Wavelength [nm]\"",
                                           "load '/opt/vx/ginit.plt'",
                                           "load '/opt/vx/pola36.plt'",
                                           "set title \"Absorption\"",
                                           "set ylabel \"Absorbance\"",
                                           "xanf=400",
                                           "xend=500",
                                           "set xrange[xanf:xend]",
                                           "yanf=0",
                                           "yend=1.25",
                                           "set yrange[yanf:yend]",
                                           "pol(x)=((x+0.4)/1.1)*(yend-yanf)+yanf",
                                           "set key box 1 right top rev Left",
                                           "set grid",
                                           "set mxtics 5"};
    ASSERT_GE(l.size(), head.size() + 3);
    EXPECT_EQ(std::vector<std::string>(l.begin(), l.begin() + std::ptrdiff_t(head.size())), head);
    const std::size_t p = head.size();
    EXPECT_EQ(l[p], "plot '" + out() + "plot.tat' using 1:3 t 'A '\\");
    EXPECT_EQ(l[p + 1], ",'' using 1:4 t 'B '\\");
    EXPECT_EQ(l[p + 2], ",'' using 1:(pol($5)) t 'it''s C '");
    // The template follows, its "set output" naming the eps file; a bare "set output" stays.
    EXPECT_EQ(l[p + 4], "set output'" + out() + "plot.eps'");
    EXPECT_EQ(l[p + 6], "set output");
    EXPECT_EQ(l.back(), "");

    // Without the flags: no pola36, no commands, no title line for an empty title.
    s.RawCurves = s.CommandsOn = false;
    s.Title.clear();
    const auto l2 = linesOf(
        GnuplotExportTexts(list, {SpecXNanometer, SpecYAbsorbance}, s, plot(400, 500), "/opt/vx/", templ).Command);
    EXPECT_FALSE(hasLine(l2, "load '/opt/vx/pola36.plt'"));
    EXPECT_FALSE(hasLine(l2, "set grid"));
    EXPECT_EQ(std::count_if(l2.begin(), l2.end(), [](const std::string& x) { return x.rfind("set title", 0) == 0; }),
              0);
}

// The data grid follows the display unit; the x label only chooses the column and the xrange.
TEST_F(GnuplotExport, DataFileOnTheDisplayGrid) {
    list.Add(spectrum("A", 400, 0.5, 41));  // 400 .. 420 nm
    TGnuplotSettings s = settings();
    s.XLabel = "Wavenumbers [1/cm]";
    auto t = GnuplotExportTexts(list, {SpecXNanometer, SpecYAbsorbance}, s, plot(398.7, 405.2), "/p/", templ);
    auto c = linesOf(t.Command);
    EXPECT_TRUE(hasLine(c, "xanf=25081"));  // 1e7 / 398.7, cut
    EXPECT_TRUE(hasLine(c, "xend=24679"));
    EXPECT_NE(t.Command.find(" using 2:3 t 'A '"), std::string::npos);
    auto d = linesOf(t.Data);
    // v = 399 .. 405; the spectrum starts at its second point (400.5).
    ASSERT_EQ(d.size(), 7u);
    EXPECT_EQ(d[0], "399  25062.66  ?");
    EXPECT_EQ(d[1], "400  25000  ?");
    auto y = [&](int i) {
        return GnuplotFitNumber(numtext::FloatToStrF(list[0].Values[std::size_t(i)], numtext::FloatFormat::General, 3, 0, '.'), 10);
    };
    EXPECT_EQ(d[2], "401  24937.66  " + y(2));
    EXPECT_EQ(d[6], "405  24691.36  " + y(10));

    // Wavenumber display: falling wavenumbers, the nm column first; x = 0 is skipped.
    list.Clear();
    list.Add(spectrum("W", 3, -1, 5, 1, SpecXWavenumber));  // 3 .. -1 1/cm
    t = GnuplotExportTexts(list, {SpecXWavenumber, SpecYAbsorbance}, settings(), plot(-2.5, 3.5), "/p/", templ);
    d = linesOf(t.Data);
    std::vector<std::string> firstColumns;
    for (const auto& line : d) firstColumns.push_back(line.substr(0, line.find("  ", line.find("  ") + 2)));
    EXPECT_EQ(firstColumns, (std::vector<std::string>{"5e+06  2", "1e+07  1", "-1e+07  -1", "-5e+06  -2"}));
}

TEST_F(GnuplotExport, SecondXAxisTics) {
    list.Add(spectrum("A", 400, 1, 401));
    TGnuplotPlot p = plot(400, 800);
    p.SecondXAxisOn = true;
    p.X2Labels = {"12,5", "15", "17,5", "20", "22,5", "25"};
    numtext::setDecimalSeparator(',');
    auto c = linesOf(GnuplotExportTexts(list, {SpecXNanometer, SpecYAbsorbance}, settings(), p, "/p/", templ).Command);
    EXPECT_TRUE(hasLine(c, "set xtics nomirror"));
    EXPECT_TRUE(hasLine(c, "set x2label \"Wellenzahlen [1000/cm]\""));
    EXPECT_TRUE(hasLine(c, "z1(x)=1e4/x"));
    EXPECT_TRUE(hasLine(c, "set x2tics (\"15\" z1(15), \"17.5\" z1(17.5), \"20\" z1(20), \"22.5\" z1(22.5), \"25\" z1(25))"));
    EXPECT_TRUE(hasLine(c, "yend=1.25"));

    // Wavenumber display: labels from the last to the second.
    TGnuplotSettings s = settings();
    s.XLabel = "Wavenumbers [1/cm]";
    p = plot(12500, 25000);
    p.SecondXAxisOn = true;
    p.X2Labels = {"400", "500", "600", "700", "800"};
    c = linesOf(GnuplotExportTexts(list, {SpecXWavenumber, SpecYAbsorbance}, s, p, "/p/", templ).Command);
    EXPECT_TRUE(hasLine(c, "set x2label \"Wellenlaenge [nm]\""));
    EXPECT_TRUE(hasLine(c, "set x2tics (\"800\" z1(800), \"700\" z1(700), \"600\" z1(600), \"500\" z1(500))"));

    // One label, or an x label other than the display unit: no tics line, no second axis.
    p.X2Labels = {"400"};
    c = linesOf(GnuplotExportTexts(list, {SpecXWavenumber, SpecYAbsorbance}, s, p, "/p/", templ).Command);
    EXPECT_TRUE(hasLine(c, "set x2range[xanf:xend]"));
    EXPECT_EQ(std::count_if(c.begin(), c.end(), [](const std::string& x) { return x.rfind("set x2tics", 0) == 0; }), 0);
    c = linesOf(GnuplotExportTexts(list, {SpecXWavenumber, SpecYAbsorbance}, settings(), p, "/p/", templ).Command);
    EXPECT_FALSE(hasLine(c, "set x2range[xanf:xend]"));
}

TEST_F(GnuplotExport, PresetAndRefusals) {
    list.Add(spectrum("a", 400, 1, 5));
    list[0].SourceKind = 1;
    EXPECT_EQ(GnuplotDialogPreset(list, {SpecXNanometer, SpecYAbsorbance}).YTitleItem, 0);
    list.Add(spectrum("b", 400, 1, 5));  // an intensity-like source beside it
    EXPECT_EQ(GnuplotDialogPreset(list, {SpecXNanometer, SpecYAbsorbance}).YTitleItem, 1);
    list.Add(spectrum("r", 400, 1, 5));
    list[2].SourceKind = SpecSourceRaw;
    const TGnuDialogPreset p = GnuplotDialogPreset(list, {SpecXWavenumber, SpecYTransmittance});
    EXPECT_TRUE(p.RawCurves);
    EXPECT_EQ(p.XTitleItem, 1);
    EXPECT_EQ(p.YTitleItem, 3);  // transmittance display
    TSpectraList others;
    others.Add(spectrum("o", 400, 1, 5));
    EXPECT_EQ(GnuplotDialogPreset(others, {SpecXNanometer, SpecYAbsorbance}).YTitleItem, 2);
    EXPECT_EQ(GnuplotDialogPreset(TSpectraList{}, {SpecXNanometer, SpecYAbsorbance}).YTitleItem, -1);

    ui::ScopedScriptedBackend ui;
    for (SpecXUnit unit : {SpecXElectronVolt, SpecXMicrometer}) {
        EXPECT_FALSE(ExportGnuplot(list, {unit, SpecYAbsorbance}, settings(), plot(1, 2), programFolder()));
        EXPECT_FALSE(fs::exists(out() + "plot.plt"));
    }
    EXPECT_EQ(ui->messages, (std::vector<std::string>{"not yet implemented \r\nwith \"eV\" x axis type!",
                                                      "not yet implemented \r\nwith \"\xC2\xB5m\" x axis type!"}));
    // A missing template: nothing is written.
    EXPECT_THROW(ExportGnuplot(list, {SpecXNanometer, SpecYAbsorbance}, settings(), plot(400, 404), programFolder()), std::exception);
    EXPECT_FALSE(fs::exists(out() + "plot.plt"));
    EXPECT_FALSE(fs::exists(out() + "plot.tat"));
}

// An export stopped at any point of its save never leaves a new command file beside old data: both
// files are written whole before the data file and then the command file replace the old ones.
TEST_F(GnuplotExport, StoppedExportNeverPairsANewCommandFileWithOldData) {
    list.Add(spectrum("A", 400, 1, 101));
    const TGnuplotSettings s = settings();
    const std::string data = ChangeFileExt(s.FileName, ".tat");
    for (int step = 1;; ++step) {
        SCOPED_TRACE(step);
        ASSERT_LT(step, 20);
        for (const std::string& f : {s.FileName, data}) std::ofstream(f, std::ios::binary) << "old";
        const int code = fault::inChild([&] {
            stopped::killAtStep(step);
            return ExportGnuplot(list, {SpecXNanometer, SpecYAbsorbance}, s, plot(400, 500), VX_BIN_DIR) ? 0 : 1;
        });
        const bool commandNew = read(s.FileName) != "old", dataNew = read(data) != "old";
        EXPECT_TRUE(dataNew || !commandNew);
        if (code == 0) {
            EXPECT_TRUE(commandNew && dataNew);
            break;
        }
        ASSERT_EQ(code, 128 + SIGKILL);
    }
}

#ifdef VX_GNUPLOT
std::string shellQuoted(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Runs gnuplot on the command file in its folder; its exit status.
int runGnuplot(const std::string& folder, const std::string& plt, std::string& output) {
    // The plot before the PostScript section goes to no screen.
    const std::string cmd =
        "cd " + shellQuoted(folder) + " && GNUTERM=unknown " + shellQuoted(VX_GNUPLOT) + " " + shellQuoted(plt) + " 2>&1";
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return -1;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) output += buf;
    const int status = ::pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The files run through gnuplot with the shipped init files and templates and give a PostScript file,
// also in a folder whose name is not ASCII and holds a quote, and with titles that try to break out of
// their quotes.
TEST_F(GnuplotExport, GnuplotDrawsThePlot) {
    const std::string folder = out() + "M\xC3\xA4rz 'x'/";
    fs::create_directories(folder);
    const std::string hostile = "x' ; system('touch pwned1') ; '`touch pwned2`\" ; !touch pwned3\n!touch pwned4";
    list.Add(spectrum(hostile, 400, 0.5, 401));
    list.Add(spectrum("second\\ \"q\"", 450, 1, 100, 2));
    auto raw = spectrum("ratio", 400, 1, 200, 3);
    raw->SourceKind = SpecSourceRaw;
    list.Add(std::move(raw));
    for (bool colour : {true, false}) {
        SCOPED_TRACE(colour ? "colour" : "black and white");
        TGnuplotSettings s = settings();
        s.FileName = folder + (colour ? "col.plt" : "mon.plt");
        s.Title = hostile;
        s.RawCurves = true;
        s.PostScriptOutput = colour;
        TGnuplotPlot p = plot(350, 650);
        p.SecondXAxisOn = true;
        p.X2Labels = {"15", "17,5", "20", "22,5", "25", "27,5"};
        ASSERT_TRUE(ExportGnuplot(list, {SpecXNanometer, SpecYAbsorbance}, s, p, VX_BIN_DIR));
        std::string output;
        EXPECT_EQ(runGnuplot(folder, NameWithoutFolder(s.FileName), output), 0) << output;
        EXPECT_EQ(output.find("rror"), std::string::npos) << output;
        const std::string eps = ChangeFileExt(s.FileName, ".eps");
        ASSERT_TRUE(fs::exists(eps));
        EXPECT_GT(fs::file_size(eps), 1000u);
        EXPECT_EQ(read(eps).rfind("%!PS-Adobe", 0), 0u);
    }
    for (const char* f : {"pwned1", "pwned2", "pwned3", "pwned4"}) EXPECT_FALSE(fs::exists(folder + f)) << f;
}
#else
TEST(GnuplotExport, GnuplotDrawsThePlot) {
    FAIL() << "gnuplot was not found when the build was set up; scripts/install-deps installs gnuplot-nox";
}
#endif

}  // namespace
