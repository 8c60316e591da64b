#pragma once

#include <QObject>
#include <QStringList>

class QWidget;

namespace velmora {

// The screen reader's voice in the main window: it speaks what it is given
// (the narration of the game, see Narrator). Each announcement becomes the
// name of a small notification object in the window, which is shown anew,
// so that desktop readers (through AT-SPI) speak it as they speak any
// notification. What is given within a tenth of a second (a dart's last
// die, the turn's points, the next turn) is said as one announcement, in
// order.
class ReaderVoice : public QObject {
    Q_OBJECT
public:
    // The notification object is a child of `window`, out of sight beneath the board.
    explicit ReaderVoice(QWidget* window);

    void speak(const QString& text);
    // The last announcement made.
    QString last() const { return m_last; }

signals:
    // An announcement went out to the screen readers.
    void spoke(const QString& text);

private:
    void flush();

    QWidget* m_board;
    QStringList m_pending;
    QString m_last;
    bool m_flushQueued = false;
};

} // namespace velmora
