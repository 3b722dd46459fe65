#pragma once
// A captioned group of radio buttons with one chosen item, addressed by its index.
#include <QGroupBox>
#include <QStringList>

class QButtonGroup;

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(QWidget* parent, const char* name, const QString& caption, const QStringList& items,
                int itemIndex = 0);
    int ItemIndex() const;  // -1 when no item is chosen
    void SetItemIndex(int index);  // -1 chooses none

signals:
    // A click (or SetItemIndex) chose another item.
    void ItemIndexChanged(int index);

private:
    QButtonGroup* group_;
};
