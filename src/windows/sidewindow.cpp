#include "sidewindow.h"

#include "art/artwork.h"
#include "art/palette.h"
#include "controls/readablecaption.h"
#include "controls/tselbutton.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>

namespace velmora {

namespace {

// What a screen reader meets: a side window is a window (as a plain widget
// it would be a "filler", and a reader ignores the focus inside a top level
// it does not take for a window), named by its title as a caption ("Velmora,
// Game Start" where the title bar shows a dash), and a plain frame drawn around some of its
// controls is a panel (as a "frame" a reader would take it for a window of
// its own, never active, and keep quiet about the controls in it).
QAccessibleInterface* sideWindowAccessible(const QString& key, QObject* object)
{
    if (key == QLatin1StringView(SideWindow::staticMetaObject.className()))
        return captionedAccessible(static_cast<QWidget*>(object), QAccessible::Window);
    if (key == QLatin1StringView(QFrame::staticMetaObject.className()) &&
        object->metaObject() == &QFrame::staticMetaObject &&
        qobject_cast<SideWindow*>(static_cast<QWidget*>(object)->window()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
    return nullptr;
}

} // namespace

SideWindow::SideWindow(QWidget* parent, Qt::WindowFlags extraFlags)
    : QWidget(parent, Qt::Window | extraFlags)
{
    QAccessible::installFactory(sideWindowAccessible); // Qt keeps each factory once
    installReadableCaptions();
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, art::palette::textLime);
    setPalette(palette);
    setAutoFillBackground(true);
    hide();
}

void SideWindow::setBackgroundPicture(bool on)
{
    m_backgroundPicture = on;
    update();
}

QLabel* SideWindow::addLabel(const QString& text, const QRect& geometry, int pixelSize, bool bold,
                             Qt::Alignment alignment)
{
    auto* label = new QLabel(text, this);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setGeometry(geometry);
    return label;
}

TSelButton* SideWindow::addDoneButton(const QRect& geometry, const QString& objectName)
{
    auto* button = new TSelButton(QStringLiteral("Done"), this);
    button->setObjectName(objectName);
    button->setGeometry(geometry);
    button->useGameLook(13);
    connect(button, &TSelButton::clicked, this, &QWidget::hide);
    if (!m_defaultButton)
        m_defaultButton = button;
    return button;
}

void SideWindow::keyPressEvent(QKeyEvent* event)
{
    // Keys reach the window only when the focused control passed them on.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Escape && modifiers == Qt::NoModifier) {
        close();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && modifiers == Qt::NoModifier && m_defaultButton && m_defaultButton->isEnabled()) {
        m_defaultButton->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SideWindow::paintEvent(QPaintEvent*)
{
    if (!m_backgroundPicture)
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, art::background(devicePixelRatioF(), size()));
}

void SideWindow::closeEvent(QCloseEvent* event)
{
    // Side windows live as long as the program: an accepted close only hides
    // a window that is not deleted on close.
    event->accept();
}

void setApplicationNames()
{
    QGuiApplication::setApplicationName(QStringLiteral("Velmora"));
}

void showCentredOn(QWidget* window, QWidget* over)
{
    if (!window)
        return;
    QPoint centre;
    if (over && over->isVisible()) {
        centre = over->frameGeometry().center();
    } else {
        const QScreen* screen = over ? over->screen() : QGuiApplication::primaryScreen();
        if (screen)
            centre = screen->availableGeometry().center();
    }
    const QSize size = window->frameGeometry().size();
    window->move(centre - QPoint(size.width() / 2, size.height() / 2));
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace velmora
