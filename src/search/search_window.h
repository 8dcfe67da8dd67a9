#pragma once
// SearchWindow, the search window "Search": one notes file (or a new, empty
// table) browsed and edited as a sortable grid with the current item's
// description below, a navigator with locate, filter, lookup and record view
// dialogs, and its own Save and Undo. It works on its own copy of a file and
// never touches the document windows. Created once at start-up and shown
// without being modal.

#include "platform/prompt_service.h"
#include "search/record_filter.h"
#include "table/client_dataset.h"

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QWidget>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTableView;
class QToolButton;

namespace bw::search {

class DescriptionTexts;
class SearchGridModel;
class RecordNavigator;
class BoundRichEdit;
class LocateDialog;

// What the window needs from the program around it.
struct SearchWindowContext
{
    PromptService *prompts = nullptr;
    // The shared open and save dialogs, set up from the request; the answer,
    // or nothing when cancelled. Without them the prompt service asks directly.
    std::function<std::optional<PromptService::FileAnswer>(QWidget *,
                                                           const PromptService::FileRequest &)>
        openDialog, saveDialog;
    QList<QIcon> navigatorImages;      // imlSearch, in the navigator's order
    QList<QIcon> gridHeaderSortImages; // 0 ascending, 1 descending
    QList<QPixmap> statusBarImages;    // imlStatusBar: 0 count, 1..8 the states
    // Where the long hints (status texts) of the window's controls are shown.
    std::function<void(const QString &)> hintHandler;
};

inline const QString kCdsFilter =
    QStringLiteral("Client DataSet (*.cds)|*.cds|All Files (*.*)|*.*");
inline const QString kNewFileName = QStringLiteral("New File");

class SearchWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kStatusPanel0Width = 150;
    static constexpr int kStatusPanel1Width = 200;

    explicit SearchWindow(SearchWindowContext context, QWidget *parent = nullptr);
    ~SearchWindow() override;

    dataset::ClientDataSet &wwClientDataSet() { return *m_table; }
    QLineEdit *edFileName() const { return m_edFileName; }
    QPushButton *btnBrowse() const { return m_btnBrowse; }
    QPushButton *btnNew() const { return m_btnNew; }
    RecordNavigator *wwDBNavigator1() const { return m_navigator; }
    QToolButton *navButton(const QString &name) const;
    QTableView *wwDBGrid() const { return m_grid; }
    SearchGridModel *gridModel() const { return m_model; }
    BoundRichEdit *wwDBRichEdit() const { return m_richEdit; }
    QStatusBar *gridStatusBar() const { return m_statusBar; }
    LocateDialog &wwLocateDialog() { return *m_locate; }

    // Window state.
    bool isNewFile() const { return m_isNewFile; }
    bool isModified() const { return m_modified; }
    bool sortAscending() const { return m_sortAscending; }
    bool sortDescending() const { return m_sortDescending; }
    QString sortField() const { return m_sortField; }
    QString fileName() const { return m_fileName; }
    const RecordFilter &filter() const { return m_filter; }
    // The text and picture panel 0 or 1 of the status bar draws.
    QString statusPanelText(int panel) const;
    int statusPanelImage(int panel) const;

    // Event handlers.
    void onShow();
    bool canClose();
    // Asks about unsaved changes as closing does, without closing: false
    // when the user keeps them (Cancel, or a save that did not go through).
    // The program asks it before it ends.
    bool mayDiscardChanges();
    void btnBrowseClick();
    void btnNewClick();
    void wwDBNavBtnSaveClick();
    void wwDBNavBtnCancelClick();
    void wwDBNavBtnCancelAllClick();
    void wwDBNavBtnFindClick();
    void wwDBNavBtnFindNextClick();
    void wwDBGridTitleButtonClick(const QString &fieldName);
    // The title picture of a field's column: 0, 1, or -1 for none.
    int wwDBGridCalcTitleImage(const QString &fieldName) const;
    void wwDataSourceStateChange();
    void wwDataSourceDataChange();
    void drawStatusPanel(int panel, QPainter &painter, const QRect &rect);
    void updateSearchButtons();

    // The navigator's standard buttons and dialogs.
    void navigatorClick(const QString &button);
    void filterDialog();
    void recordViewDialog();
    void lookupDialog();
    // Sets the filter (an empty one shows every record). A filter on
    // Description first reads the texts of the descriptions not read yet,
    // showing its progress; stopped, it leaves the filter as it was.
    void applyFilter(const RecordFilter &filter);

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // What became of the unsaved changes: kept (nothing may go on), saved,
    // or to be dropped (also when there were none).
    enum class ChangesAnswer { Keep, Saved, Drop };
    ChangesAnswer askAboutChanges();

    void createTable();
    void createControls();
    QWidget *createNavigatorPanel();
    void createGrid();
    void createStatusBar();
    void connectTable();
    void connectNavigator();
    void afterTableOpened();
    void saveTo(const QString &path);
    void syncGridToTable();
    void updateNavigator();
    bool readDescriptionTexts();
    std::optional<PromptService::FileAnswer> askFile(bool save,
                                                     const PromptService::FileRequest &r);

    SearchWindowContext m_context;
    PromptService &m_prompts;
    std::unique_ptr<dataset::ClientDataSet> m_table;
    std::unique_ptr<LocateDialog> m_locate;
    QLineEdit *m_edFileName = nullptr;
    QPushButton *m_btnBrowse = nullptr;
    QPushButton *m_btnNew = nullptr;
    RecordNavigator *m_navigator = nullptr;
    QTableView *m_grid = nullptr;
    SearchGridModel *m_model = nullptr;
    QSplitter *m_splitter = nullptr;
    BoundRichEdit *m_richEdit = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QWidget *m_panels[2] = {nullptr, nullptr};

    QString m_fileName; // the table's file name
    bool m_isNewFile = false;
    bool m_modified = false;
    bool m_sortAscending = true;
    bool m_sortDescending = false;
    QString m_sortField = QStringLiteral("ID");
    dataset::ClientDataSet::Bookmark m_savedBookmark;
    RecordFilter m_filter;
    std::shared_ptr<DescriptionTexts> m_texts; // kept while the table is open
    bool m_syncing = false;
    dataset::ClientDataSet::State m_lastState = dataset::ClientDataSet::State::Inactive;
};

} // namespace bw::search
