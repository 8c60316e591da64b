#pragma once

#include "sidewindow.h"

namespace velmora {

// The about window: the game's picture and its version.
class Tabout : public SideWindow {
    Q_OBJECT
public:
    explicit Tabout(QWidget* parent = nullptr);

    // The version text the client also sends when it logs in.
    QString version() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_picture = nullptr;
    QLabel* m_version = nullptr;
};

} // namespace velmora
