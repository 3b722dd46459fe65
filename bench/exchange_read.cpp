// Reads one spectrum file with the reader the Open command picks by its extension and prints what it
// got: the whole-process companion of the exchange benchmarks (bench/exchange_compare.sh times it
// against numpy.loadtxt on the same numbers).
//   exchange_read <file>...
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "core/spectra_list.h"
#include "formats/format_table.h"
#include "platform/numtext.h"
#include "platform/ui.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <file>...\n", argv[0]);
        return 2;
    }
    numtext::setDecimalSeparator('.');
    // Messages go to stderr; a layout question takes one shared x column.
    struct Console : ui::ScriptedBackend {
        void showMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
        ui::Answer messageBox(const std::string& text, const std::string&, ui::Buttons, ui::Icon) override {
            std::fprintf(stderr, "%s\n", text.c_str());
            return ui::Answer::Ok;
        }
    };
    auto console = std::make_shared<Console>();
    console->onAsk = [](ui::Query& q) {
        q.fields["RadioGroup1"].assign(1, '1');  // (a plain assignment trips a false GCC 12 warning)
        return true;
    };
    ui::setBackend(console);
    int status = 0;
    const std::string programFolder;  // the SPC library as registered, or looked up from here
    TAxisQueryChoice axisQuery;
    const TReaderContext context{programFolder, axisQuery};
    for (int i = 1; i < argc; ++i) {
        const std::string path = argv[i];
        const FormatEntry* entry = FormatEntryOf(FormatCodeOf(path));
        if (!entry || (!entry->fresh && !entry->own)) {
            std::fprintf(stderr, "%s: no reader for this extension\n", path.c_str());
            status = 1;
            continue;
        }
        TSpectraList list;
        try {
            if (entry->fresh) {
                auto rec = std::make_unique<TSpectrumRecord>();
                entry->fresh(*rec, path, entry->maxBytes, context);
                if (rec->IsComplete()) list.Add(std::move(rec));
            } else {
                entry->own(path, list, entry->maxBytes, context);
            }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), e.what());
            status = 1;
        }
        long long points = 0;
        double sum = 0.0;
        for (const auto& r : list) {
            points += r->PointCount();
            for (double v : r->Values) sum += v;
        }
        std::printf("%s: %d spectra, %lld points, sum %.6g\n", path.c_str(), list.Count(), points, sum);
    }
    return status;
}
