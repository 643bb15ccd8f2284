#include "link/combo_selection.h"

#include <QComboBox>
#include <QLineEdit>

ComboSelection::ComboSelection(QComboBox* combo) : QObject(combo), m_combo(combo) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    QLineEdit* edit = combo->lineEdit();
    // The combo box matches typed text against its entries when editing finishes; typed text
    // must stay "no entry", so that connection goes.
    QObject::disconnect(edit, &QLineEdit::editingFinished, combo, nullptr);
    connect(edit, &QLineEdit::textEdited, this, [this] { m_typed = true; });
    connect(combo, &QComboBox::activated, this, [this] { m_typed = false; });
}

int ComboSelection::listIndex() const {
    return m_typed ? -1 : m_combo->currentIndex();
}

void ComboSelection::select(int index) {
    if (index < -1 || index >= m_combo->count()) index = -1;
    m_combo->setCurrentIndex(index);
    // Re-selecting the entry that is already current leaves the typed text in the field.
    if (index >= 0)
        m_combo->setEditText(m_combo->itemText(index));
    else
        m_combo->clearEditText();
    m_typed = false;
}
