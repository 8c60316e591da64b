#pragma once

#include <QAccessibleWidget>

namespace velmora {

class TSelButton;

// What a screen reader hears of a flat button: a push button named by its
// caption (an accessible name set on it wins), dimmed while its own flag is
// off, with a "Press" action that clicks it as Space does.
class TSelButtonAccessible : public QAccessibleWidget {
public:
    explicit TSelButtonAccessible(TSelButton* button);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

    // Makes every TSelButton answer with this interface (once per program).
    static void install();

private:
    TSelButton* button() const;
};

} // namespace velmora
