#pragma once

namespace quillon {

// A list whose rows a screen reader opens: a row's default accessible action does what Enter
// does on it. A list view that also derives from RowOpener is read through rowsAccessible():
// its children are its rows, each named by Qt::AccessibleTextRole (else its display text),
// described by Qt::AccessibleDescriptionRole, with the actions "Press" (openRow) and
// "SetFocus" (makes it the current row without opening it).
class RowOpener {
public:
    virtual void openRow(int row) = 0;

protected:
    ~RowOpener() = default;
};

// Installs the accessible interface of such lists, once; each list's constructor calls it.
void installRowsAccessible();

}  // namespace quillon
