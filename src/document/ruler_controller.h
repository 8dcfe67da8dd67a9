#pragma once
// The ruler's three indent markers and their dragging. The markers show the
// indents of the paragraph at the caret; dragging one shows a dotted guide
// line over the editor and, on release, writes the indent it was dropped at.
// The ruler measures at a fixed 4 pixels to 3 points from the editor's text
// rectangle.

#include <QObject>

namespace bw {
class RichEdit;
}

namespace bw::notes {

class FormatCommands;
class Ruler;
class RulerMarker;
class DocumentContext;

class RulerController : public QObject
{
    Q_OBJECT
public:
    enum class Side { Left, Right };

    RulerController(DocumentContext &window, FormatCommands &commands);

    // The fixed scale, truncating toward zero.
    static int pointsToPixels(int points) { return points * 4 / 3; }
    static int pixelsToPoints(int pixels) { return pixels * 3 / 4; }

    // An indent in points as an x of the ruler, and back.
    int indentToRulerX(int points, Side side) const;
    int rulerXToIndent(int x, Side side) const;

    // Places the markers from the paragraph at the caret.
    void placeMarkers();

    // Dragging, with x relative to the marker.
    void rulerItemMouseDown(RulerMarker *marker, int x);
    void rulerItemMouseMove(RulerMarker *marker, int x);
    void firstIndMouseUp();
    void leftIndMouseUp();
    void rightIndMouseUp();

    RulerMarker *FirstInd = nullptr;
    RulerMarker *LeftInd = nullptr;
    RulerMarker *RightInd = nullptr;

    bool rulerDragging() const { return m_dragging; }
    bool guideLineShown() const { return m_guideShown; }
    int guideLineX() const { return m_guideX; }
    // A ruler x in the editor's client (viewport) coordinates.
    int rulerToEditorX(int x) const;

protected:
    // Keeps the markers on their indents when the editor or the ruler
    // changes its size (the splitter moves, a bar shows or hides).
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void toggleGuideLine();
    void updateGuideLineX(RulerMarker *marker);
    void endDrag();

    DocumentContext &m_window;
    FormatCommands &m_commands;
    Ruler *m_ruler;
    RichEdit *m_editor;
    QWidget *m_guide = nullptr;
    bool m_dragging = false;
    int m_grabOffset = 0;
    int m_guideX = 0;
    bool m_guideShown = false;
};

} // namespace bw::notes
