#pragma once

#include "sidewindow.h"

class QStackedWidget;
class QTextBrowser;

namespace velmora {

// The help window: a column of page buttons on the left, the page in front on
// the right under its caption. The page texts live in resources/help.
class Thelp : public SideWindow {
    Q_OBJECT
public:
    explicit Thelp(QWidget* parent = nullptr);

    // The caption above the page in front ("Overview" at first).
    QString currentCaption() const;
    // The page in front: its object name, "memo" followed by its button's tag.
    QString currentPage() const;

signals:
    // The "About" button, for whoever owns the about window. With nothing
    // connected, the window shows the program's about window itself.
    void aboutRequested();

private:
    QTextBrowser* addPage(int tag, const QString& file, const QString& caption);
    void showPage(int tag, const QString& caption);
    void showAbout();

    QLabel* m_caption = nullptr;
    QStackedWidget* m_pages = nullptr;
};

} // namespace velmora
