#pragma once
// The document-file commands of a document window's editor: open a document
// file into the item, save the item's document (as, selected, by the item's
// name), send it by mail and print it, with their enabling. Owned by the
// window.

#include <QObject>
#include <QString>

class QPrinter;

namespace bw::notes {

class FrameServices;
class DocumentContext;

class EditorFileCommands : public QObject
{
    Q_OBJECT
public:
    EditorFileCommands(DocumentContext &window, FrameServices &frame);

    // Open always; save, save as, send mail and print while the editor holds
    // text; save selected while it has a selection.
    void aclFileUpdate();

    void actFileRTFOpenExecute();
    void actFileRTFSaveExecute();
    void actFileRTFSaveAsExecute();
    void actFileRTFSaveSelectedExecute();
    void actFileRTFSendMailExecute();
    void actFilePrintExecute();

    // The mail body: the editor's display lines, each cut at 4096 characters
    // and followed by CR LF.
    QString mailBody() const;
    // Prints the whole document on a printer set up by the print dialog.
    void printDocument(QPrinter &printer) const;

private:
    QString selectedNodeText() const;
    bool saveAs(bool selectionOnly);

    DocumentContext &m_window;
    FrameServices &m_frame;
};

} // namespace bw::notes
