#pragma once

#include <QWidget>

class QLabel;

namespace velmora {

class TSelButton;

// Base of the side windows: a black top-level window, created hidden, that
// closing only hides; optionally painted with the game's background picture.
// From the keyboard Escape closes it, and Enter presses its default button
// when the focus is on nothing that takes Enter itself.
class SideWindow : public QWidget {
    Q_OBJECT
public:
    explicit SideWindow(QWidget* parent = nullptr, Qt::WindowFlags extraFlags = {});

protected:
    void setBackgroundPicture(bool on);
    // A plain text label in the windows' lime, placed by hand like the rest of the window.
    QLabel* addLabel(const QString& text, const QRect& geometry, int pixelSize = 12, bool bold = false,
                     Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
    // The windows' flat "Done" button in the game's look; its click hides the window.
    // It becomes the default button unless the window has one already.
    TSelButton* addDoneButton(const QRect& geometry, const QString& objectName = QStringLiteral("button_done"));
    void setDefaultButton(TSelButton* button) { m_defaultButton = button; }

    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool m_backgroundPicture = false;
    TSelButton* m_defaultButton = nullptr;
};

// The application's name, "Velmora", and no display name: the desktop would
// append a display name to every window's title, and the titles must read
// exactly as given.
void setApplicationNames();

// Shows a side window centred on another window (on the screen when that one
// is hidden or missing), raised and active.
void showCentredOn(QWidget* window, QWidget* over);

} // namespace velmora
