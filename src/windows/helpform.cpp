#include "helpform.h"

#include "art/artwork.h"
#include "art/palette.h"
#include "controls/tselbutton.h"
#include "game/constants.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMetaMethod>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QUrl>

// Resources of a static library must be registered by hand (outside any namespace).
static void initHelpResources()
{
    Q_INIT_RESOURCE(help);
}

namespace velmora {

namespace {

// The page buttons from top to bottom. The tag names the page ("memo" + tag),
// as the game has always numbered them.
struct HelpPage {
    const char* caption;
    int tag;
    const char* file;
};

constexpr HelpPage kPages[] = {
    {"Overview", 1, "overview.html"}, {"Connecting", 2, "connecting.html"},       {"Game Play", 4, "gameplay.html"},
    {"Scoring", 3, "scoring.html"},   {"Documentation", 9, "documentation.html"}, {"License", 5, "license.html"},
    {"The Lobby", 11, "lobby.html"},
};

constexpr int kButtonLeft = 6;
constexpr int kButtonWidth = 104;
constexpr int kButtonHeight = 25;
constexpr int kButtonStep = 31;
constexpr QRect kPageArea(116, 40, 351, 455);

QString readResource(const QString& name)
{
    QFile file(QStringLiteral(":/velmora/help/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

TSelButton* makePageButton(QWidget* parent, const QString& caption, const QString& objectName, int row)
{
    auto* button = new TSelButton(caption, parent);
    button->setObjectName(objectName);
    button->setGeometry(kButtonLeft, kPageArea.top() + row * kButtonStep, kButtonWidth, kButtonHeight);
    // 11 pixels: "Documentation" keeps clear of the border.
    button->useGameLook(11);
    return button;
}

// The pointer is on the page button just clicked, so on no other: a hover
// look left on one (About, whose window opened over the pointer and took its
// leave) goes.
void dropOtherHovers(QWidget* window, TSelButton* clicked)
{
    for (TSelButton* button : window->findChildren<TSelButton*>()) {
        if (button != clicked && button->look() == TSelButton::Look::Hovered) {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(button, &leave);
        }
    }
}

// The licence file's paragraphs, reflowed to the page's width.
QString licenceHtml(const QString& text)
{
    QString html;
    for (const QString& paragraph : text.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts))
        html +=
            QStringLiteral("<p class=\"licence\">") + paragraph.simplified().toHtmlEscaped() + QStringLiteral("</p>");
    return html;
}

} // namespace

Thelp::Thelp(QWidget* parent)
    : SideWindow(parent)
{
    initHelpResources();
    setObjectName(QStringLiteral("Thelp"));
    setWindowTitle(QStringLiteral("Velmora - Help"));
    setFixedSize(475, 504);

    m_caption =
        addLabel(QStringLiteral("Overview"), {kPageArea.left(), 8, kPageArea.width(), 26}, 18, true, Qt::AlignCenter);
    m_caption->setObjectName(QStringLiteral("label_caption"));

    m_pages = new QStackedWidget(this);
    m_pages->setGeometry(kPageArea);

    int row = 0;
    QList<QWidget*> tabOrder;
    QList<QWidget*> buttons;
    for (const HelpPage& page : kPages) {
        const QString caption = QString::fromLatin1(page.caption);
        tabOrder << addPage(page.tag, QString::fromLatin1(page.file), caption);
        TSelButton* button = makePageButton(this, caption, QStringLiteral("button_page%1").arg(page.tag), row++);
        connect(button, &TSelButton::clicked, this, [this, button, tag = page.tag, caption] {
            dropOtherHovers(this, button);
            showPage(tag, caption);
        });
        buttons << button;
    }
    TSelButton* about = makePageButton(this, QStringLiteral("About"), QStringLiteral("button_about"), row);
    connect(about, &TSelButton::clicked, this, &Thelp::showAbout);
    buttons << about
            << addDoneButton({kButtonLeft, kPageArea.bottom() + 1 - kButtonHeight, kButtonWidth, kButtonHeight});
    // Tab goes from the page in front (which has the focus when the window
    // opens) down the column of buttons, whichever page is in front.
    tabOrder << buttons;
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    showPage(kPages[0].tag, QString::fromLatin1(kPages[0].caption));
}

QTextBrowser* Thelp::addPage(int tag, const QString& file, const QString& caption)
{
    auto* page = new QTextBrowser(m_pages);
    page->setObjectName(QStringLiteral("memo%1").arg(tag));
    page->setAccessibleName(caption);
    page->setOpenExternalLinks(true);
    page->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    page->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Colours by palette, not a style sheet: a style sheet would take over the scroll bars' look too.
    QPalette colours = page->palette();
    colours.setColor(QPalette::Base, art::palette::black);
    colours.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
    colours.setColor(QPalette::WindowText, art::palette::darkGreen);
    page->setPalette(colours);
    page->setFrameStyle(QFrame::Box | QFrame::Plain);
    art::styleScrollBars(page);

    QTextDocument* document = page->document();
    document->setDefaultStyleSheet(readResource(QStringLiteral("help.css")));
    // The scoring page explains the score board's lights with the board's own pictures.
    for (int marks = 0; marks <= 3; ++marks)
        document->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("light:%1").arg(marks)),
                              art::scoreLight(marks, devicePixelRatioF()).toImage());
    for (int column = 0; column < game::kTargetCount; ++column)
        document->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("heading:%1").arg(column)),
                              art::scoreHeading(column, devicePixelRatioF()).toImage());

    QString html = readResource(file);
    // The licence page shows the very text that ships beside the program.
    html.replace(QStringLiteral("@LICENSE@"), licenceHtml(readResource(QStringLiteral("LICENSE"))));
    page->setHtml(html);
    m_pages->addWidget(page);
    return page;
}

void Thelp::showPage(int tag, const QString& caption)
{
    auto* page = m_pages->findChild<QTextBrowser*>(QStringLiteral("memo%1").arg(tag), Qt::FindDirectChildrenOnly);
    if (!page)
        return;
    m_pages->setCurrentWidget(page);
    m_caption->setText(caption);
}

void Thelp::showAbout()
{
    if (isSignalConnected(QMetaMethod::fromSignal(&Thelp::aboutRequested))) {
        emit aboutRequested();
        return;
    }
    // Nobody took the request: the about window is one of the program's
    // top-level windows, made at start like this one.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("Tabout")) {
            showCentredOn(window, this);
            return;
        }
    }
}

QString Thelp::currentCaption() const
{
    return m_caption->text();
}

QString Thelp::currentPage() const
{
    const QWidget* page = m_pages->currentWidget();
    return page ? page->objectName() : QString();
}

} // namespace velmora
