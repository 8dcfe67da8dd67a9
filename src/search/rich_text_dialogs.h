#pragma once
// Small dialogs of the search window's rich-text box and editor window:
// paragraph (alignment, indents, spacing in centimetres), tab stops, and
// find / replace over the box's text.

#include <QDialog>
#include <QList>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QListWidget;

namespace bw {
class PromptService;
class RichEdit;
struct ParaFormat;
} // namespace bw

namespace bw::search {

// Twips and centimetres (1 cm = 567 twips).
constexpr double kTwipsPerCm = 566.929;

class ParagraphDialog : public QDialog
{
    Q_OBJECT
public:
    ParagraphDialog(const ParaFormat &format, QWidget *parent = nullptr);
    // The format chosen (alignment, indents and spacing set in the mask).
    ParaFormat format() const;

private:
    QComboBox *m_alignment;
    QDoubleSpinBox *m_left, *m_right, *m_first, *m_before, *m_after;
};

class TabsDialog : public QDialog
{
    Q_OBJECT
public:
    // stops: positions in centimetres.
    TabsDialog(const QList<double> &stops, QWidget *parent = nullptr);
    QList<double> stops() const;

private:
    void addStop();
    QDoubleSpinBox *m_position;
    QListWidget *m_list;
};

// Find and replace in a rich-text box; a modal dialog that stays open
// between searches. Not found shows "Cannot find "%s"" as information.
class FindReplaceDialog : public QDialog
{
    Q_OBJECT
public:
    FindReplaceDialog(RichEdit &editor, PromptService &prompts, bool replace,
                      QWidget *parent = nullptr);
    QLineEdit *findEdit() const { return m_find; }
    QLineEdit *replaceEdit() const { return m_replace; }
    QCheckBox *matchCase() const { return m_matchCase; }
    // Finds the next match after the selection; false (with the message) when none.
    bool findNext();
    // Replaces the selected match, then finds the next one.
    void replaceOne();
    // Replaces every match from the start; returns how many.
    int replaceAll();

private:
    bool selectionIsMatch() const;
    RichEdit &m_editor;
    PromptService &m_prompts;
    QLineEdit *m_find;
    QLineEdit *m_replace = nullptr;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeWord;
};

// Tab stops of the paragraph holding the caret, in centimetres; writes them
// to every selected paragraph.
QList<double> tabStopsAtCaret(const RichEdit &editor);
void setTabStops(RichEdit &editor, const QList<double> &stopsCm);

} // namespace bw::search
