#pragma once

#include "sidewindow.h"

class QTextBrowser;

namespace velmora {

// The help window: a column of page buttons and the page in front.
class Thelp : public SideWindow {
    Q_OBJECT
public:
    explicit Thelp(QWidget* parent = nullptr);

    QString currentCaption() const;

private:
    QLabel* m_caption = nullptr;
    QTextBrowser* m_overview = nullptr;
};

} // namespace velmora
