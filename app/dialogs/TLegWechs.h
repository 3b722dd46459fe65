#pragma once
// The legend texts dialog ("edit legend texts"): the legend names of all spectra as lines of one text,
// with search-and-replace, a reset and file names as legends.
#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QLineEdit;
class QPlainTextEdit;

class TLegWechs : public QDialog {
    Q_OBJECT
public:
    // `legends` one line per spectrum; `fileNames` the spectra's file names in the same order.
    TLegWechs(const std::vector<std::string>& legends, const std::vector<std::string>& fileNames,
              QWidget* parent = nullptr);

    void Button1Click();  // Replace
    void Button2Click();  // Reset
    void Button3Click();  // Replace by filename
    void OKBtnClick();

    std::vector<std::string> MemoLines() const;
    // After OK: the lines to take over, or nothing when their number does not fit the spectra.
    const std::optional<std::vector<std::string>>& Result() const { return result_; }

private:
    void setMemoLines(const std::vector<std::string>& lines);

    std::vector<std::string> fileNames_;
    std::string remembered_;
    std::optional<std::vector<std::string>> result_;
    QPlainTextEdit* Memo1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
};
