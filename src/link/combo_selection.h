#pragma once
// The list entry an editable combo box has selected. Text the user types selects no entry,
// even when it reads like one: only a pick from the list (mouse, keys, wheel) or select()
// does. Qt's own combo box would otherwise adopt a matching entry when the field loses focus
// or Enter is pressed, and insert the typed text into the list.
#include <QObject>

class QComboBox;

class ComboSelection : public QObject {
    Q_OBJECT
public:
    // Owned by the combo box.
    explicit ComboSelection(QComboBox* combo);

    // The selected entry, -1 when none is selected or the text was typed.
    [[nodiscard]] int listIndex() const;
    // Selects entry index; -1 selects none and empties the text.
    void select(int index);

private:
    QComboBox* m_combo;
    bool m_typed = false;
};
