#pragma once
// The navigator's dialogs other than locate: the filter dialog "Super
// Search", the record view dialog and the lookup dialog "Lookup".

#include "search/record_filter.h"
#include "table/client_dataset.h"

#include <QDialog>
#include <QMap>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;

namespace bw {
class PromptService;
}

namespace bw::search {

// "Super Search": show only the records whose chosen fields match a value
// (exact, at the beginning or anywhere; optionally case-sensitive;
// optionally the non-matching ones) or lie in a range. OK applies the
// filter, "Clear" removes it, Cancel changes nothing.
class FilterDialog : public QDialog
{
    Q_OBJECT
public:
    enum Result { Cleared = 2 };

    FilterDialog(const QStringList &fields, const RecordFilter &current, QWidget *parent = nullptr);
    RecordFilter filter() const;

    QListWidget *fieldList() const { return m_fields; }
    QLineEdit *valueEdit() const { return m_value; }
    QRadioButton *matchButton(RecordFilter::Match match) const { return m_match[int(match)]; }
    QRadioButton *rangeButton() const { return m_range; }
    QLineEdit *rangeFrom() const { return m_from; }
    QLineEdit *rangeTo() const { return m_to; }
    QCheckBox *caseBox() const { return m_case; }
    QCheckBox *nonMatchingBox() const { return m_nonMatching; }

private:
    QListWidget *m_fields;
    QRadioButton *m_byValue;
    QRadioButton *m_range;
    QLineEdit *m_value;
    QRadioButton *m_match[3];
    QLineEdit *m_from;
    QLineEdit *m_to;
    QCheckBox *m_case;
    QCheckBox *m_nonMatching;
};

// One edit box per field of the current record. OK writes the changed
// values and posts; a value the table refuses is reported and the dialog
// stays open with the record unchanged.
class RecordViewDialog : public QDialog
{
    Q_OBJECT
public:
    RecordViewDialog(dataset::ClientDataSet &table, PromptService &prompts,
                     QWidget *parent = nullptr);
    QLineEdit *lineEdit(const QString &field) const { return m_lines.value(field); }
    QPlainTextEdit *memoEdit(const QString &field) const { return m_memos.value(field); }
    // Writes and posts; false (reported) when the table refused a value.
    bool apply();

private:
    QString textOf(const QString &field) const;

    dataset::ClientDataSet &m_table;
    PromptService &m_prompts;
    QMap<QString, QLineEdit *> m_lines;
    QMap<QString, QPlainTextEdit *> m_memos;
    QMap<QString, QString> m_original;
};

// "Lookup": the records in the order of a chosen index; every character
// typed moves to the first record whose first index field begins with the
// text (without regard to case). OK keeps the record found; Cancel returns
// to the record that was current. The window's own order comes back in both.
class LookupDialog : public QDialog
{
    Q_OBJECT
public:
    LookupDialog(dataset::ClientDataSet &table, QWidget *parent = nullptr);
    ~LookupDialog() override;

    QComboBox *indexBox() const { return m_index; }
    QLineEdit *valueEdit() const { return m_value; }
    // Moves to the first record matching the text in the chosen order.
    bool lookUp(const QString &text);

    void done(int result) override;

private:
    void chooseIndex();

    dataset::ClientDataSet &m_table;
    QString m_savedIndex;
    dataset::ClientDataSet::Bookmark m_start;
    QComboBox *m_index;
    QLineEdit *m_value;
    bool m_restored = false;
};

} // namespace bw::search
