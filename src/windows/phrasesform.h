#pragma once

#include "sidewindow.h"

#include <QStringList>
#include <array>

class QLineEdit;

namespace velmora {

class TSelButton;

// The phrase editor: ten boxes, one per phrase button. The main window copies
// the buttons' phrases in before showing it; "Done" hands the edited phrases
// back (the main window stores them in the buttons and the settings file) and
// closes; closing any other way drops the edits.
class Tphrases : public SideWindow {
    Q_OBJECT
public:
    static constexpr int kPhraseCount = 10;
    static constexpr int kMaxLength = 50;

    explicit Tphrases(QWidget* parent = nullptr);

    // Box N shows phrase N; missing entries show empty boxes.
    void setPhrases(const QStringList& phrases);
    // What "Done" would hand back now.
    QStringList phrases() const;

signals:
    void phrasesAccepted(const QStringList& phrases);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    std::array<QLineEdit*, kPhraseCount> m_boxes{};
    // Longer phrases can come from the settings file; a box shows them cut
    // short, so an untouched box gives back the whole phrase.
    QStringList m_given;
};

} // namespace velmora
