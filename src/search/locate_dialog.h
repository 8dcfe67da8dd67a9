#pragma once
// The locate component of the search window (`wwLocateDialog`) and its
// dialog "Locate Field Value": finds a record whose field matches a value
// exactly, at its beginning or anywhere, with or without regard to case,
// from the first record ("Fi&rst") or from the one after the current record
// ("&Next"). The component keeps the field, value, match type and case
// setting between searches, so Find Next repeats the last one.

#include "table/client_dataset.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace bw {
class PromptService;
}

namespace bw::search {

class LocateDialog
{
public:
    enum class Match { Exact, Beginning, Anywhere };

    LocateDialog(dataset::ClientDataSet &table, PromptService &prompts);

    QString Caption = QStringLiteral("Locate Field Value");
    QString SearchField = QStringLiteral("Description");
    QString FieldValue;
    Match MatchType = Match::Anywhere;
    bool CaseSensitive = false;

    // Searches with the current settings; a match becomes the current record.
    bool findFirst();
    bool findNext();
    // Shows the dialog; defaultNext: "&Next" is the default button. True when
    // a record was found.
    bool execute(QWidget *parent, bool defaultNext = true);

    dataset::ClientDataSet::LocateOptions options() const;
    // Fields offered: every field that does not hold binary data, sorted by name.
    QStringList offeredFields() const;
    dataset::ClientDataSet &table() { return m_table; }
    PromptService &prompts() { return m_prompts; }

private:
    dataset::ClientDataSet &m_table;
    PromptService &m_prompts;
};

// The dialog of LocateDialog. A search that finds nothing shows "No
// matches found" (First) or "No more matches found" (Next) and stays open.
class LocateDialogForm : public QDialog
{
    Q_OBJECT
public:
    LocateDialogForm(LocateDialog &locate, bool defaultNext, QWidget *parent = nullptr);

    QComboBox *fieldBox() const { return m_field; }
    QLineEdit *valueEdit() const { return m_value; }
    QRadioButton *matchButton(LocateDialog::Match match) const;
    QCheckBox *caseBox() const { return m_case; }
    QPushButton *firstButton() const { return m_first; }
    QPushButton *nextButton() const { return m_next; }

    void search(bool fromFirst);

private:
    void takeSettings();

    LocateDialog &m_locate;
    QComboBox *m_field;
    QLineEdit *m_value;
    QRadioButton *m_match[3];
    QCheckBox *m_case;
    QPushButton *m_first;
    QPushButton *m_next;
};

inline const QString kNoMatchesFound = QStringLiteral("No matches found");
inline const QString kNoMoreMatchesFound = QStringLiteral("No more matches found");

} // namespace bw::search
