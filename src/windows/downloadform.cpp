#include "downloadform.h"

#include "art/artwork.h"
#include "controls/tselbutton.h"
#include "records/datafolder.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>

namespace velmora {

namespace {

// Used when the address names no usable file.
const QString kFallbackFileName = QStringLiteral("qsvsetup.exe");

// A button that cannot be used shows a dimmed caption.
const QColor kCaptionOn(192, 192, 192);
const QColor kCaptionOff(96, 96, 96);

} // namespace

QStringList Tdownload::installerArguments()
{
    return {QStringLiteral("/SP-"), QStringLiteral("/silent"), QStringLiteral("/noicons")};
}

QString Tdownload::defaultLobbyPath()
{
    return QCoreApplication::applicationDirPath() + u'/' + QLatin1StringView(kLobbyProgram);
}

Tdownload::Tdownload(QWidget* parent)
    : SideWindow(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_http(new HttpDownload(this))
    , m_targetFolder(dataFolder())
    , m_lobbyPath(defaultLobbyPath())
{
    setObjectName(QStringLiteral("Tdownload"));
    setWindowTitle(QStringLiteral("Download The Kivonet Lobby"));
    setFixedSize(724, 500);

    m_start = [](const QString& program, const QStringList& arguments, const QString& folder) {
        return QProcess::startDetached(program, arguments, folder);
    };
    // The box waits until the event that led to it is done.
    m_report = [this](const QString& text) {
        QMetaObject::invokeMethod(
            this, [this, text] { QMessageBox::information(this, QStringLiteral("Velmora"), text); },
            Qt::QueuedConnection);
    };

    buildDownloadPanel();
    buildSoloPanel();
    buildOthersPanel();

    connect(m_http, &HttpDownload::headerLine, this, &Tdownload::HttpCli1HeaderData);
    connect(m_http, &HttpDownload::bodyStarted, this, &Tdownload::HttpCli1DocBegin);
    connect(m_http, &HttpDownload::bodyReceived, this, &Tdownload::HttpCli1DocData);
    connect(m_http, &HttpDownload::finished, this, &Tdownload::transferFinished);
}

// The transfer is aborted by its own destructor, before the file goes.
Tdownload::~Tdownload()
{
    delete m_http;
    m_http = nullptr;
}

QFrame* Tdownload::addPanel(const QRect& geometry, const QString& objectName)
{
    auto* panel = new QFrame(this);
    panel->setObjectName(objectName);
    panel->setGeometry(geometry);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(palette);
    panel->setAutoFillBackground(true);
    return panel;
}

QLabel* Tdownload::addText(QWidget* panel, const QString& text, const QRect& geometry, int pixelSize, bool bold)
{
    auto* label = new QLabel(text, panel);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setGeometry(geometry);
    return label;
}

TSelButton* Tdownload::addButton(QWidget* panel, const QString& objectName, const QString& caption,
                                 const QRect& geometry)
{
    auto* button = new TSelButton(caption, panel);
    button->setObjectName(objectName);
    button->setGeometry(geometry);
    button->useGameLook(13, TSelButton::Alignment::Centre);
    return button;
}

void Tdownload::setButtonOn(TSelButton* button, bool on)
{
    // The widget's own state stops the mouse; the button's flag keeps its looks still.
    button->setEnabled(on);
    button->setButtonEnabled(on);
    button->setCaptionColor(on ? kCaptionOn : kCaptionOff);
}

void Tdownload::buildDownloadPanel()
{
    QFrame* panel = addPanel({8, 8, 400, 484}, QStringLiteral("panel_download"));
    auto* picture = new QLabel(panel);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setGeometry(152, 24, 96, 96);
    picture->setPixmap(art::aboutPicture(devicePixelRatioF()));
    addText(panel,
            QStringLiteral("Download The Kivonet Lobby Now to play this  and other exciting games online with other "
                           "players! "),
            {24, 136, 352, 72}, 16, true);

    m_getbutton = addButton(panel, QStringLiteral("getbutton"),
                            QStringLiteral("Download And Install The Kivonet Lobby Now"), {16, 228, 368, 34});
    m_abortbutton =
        addButton(panel, QStringLiteral("abortbutton"), QStringLiteral("Stop Download"), {120, 274, 160, 28});
    setButtonOn(m_abortbutton, false);
    connect(m_getbutton, &TSelButton::clicked, this, &Tdownload::getbuttonClick);
    connect(m_abortbutton, &TSelButton::clicked, this, &Tdownload::abortbuttonClick);

    m_infolabel = addText(panel, QString(), {16, 330, 368, 24}, 13, true);
    m_infolabel->setObjectName(QStringLiteral("infolabel"));
    // Two lines: the word when no installer address is known runs that long.
    m_infolabel3 = addText(panel, QString(), {16, 358, 368, 44}, 13, true);
    m_infolabel3->setObjectName(QStringLiteral("infolabel3"));
    m_infolabel2 = addText(panel, QString(), {16, 390, 368, 24}, 13, false);
    m_infolabel2->setObjectName(QStringLiteral("infolabel2"));
    m_infolabel2->hide();
}

void Tdownload::buildSoloPanel()
{
    QFrame* panel = addPanel({416, 8, 300, 272}, QStringLiteral("panel_solo"));
    addText(panel,
            QStringLiteral("To proceed to the game without the ability to play against others click the button "
                           "below."),
            {16, 16, 268, 64}, 13, false);
    TSelButton* solo = addButton(panel, QStringLiteral("Button1"), QStringLiteral("Play Solo Game"), {70, 92, 160, 30});
    connect(solo, &TSelButton::clicked, this, &Tdownload::Button1Click);
    // The default button holds the focus when the window opens, so Enter plays solo.
    solo->setFocus(Qt::OtherFocusReason);
    addText(panel,
            QStringLiteral("Note: Even if you are playing offline, you will need to configure your FIREWALL to allow "
                           "the game to access the internet components."),
            {16, 150, 268, 96}, 12, false);
}

void Tdownload::buildOthersPanel()
{
    QFrame* panel = addPanel({416, 288, 300, 204}, QStringLiteral("panel_others"));
    addText(panel,
            QStringLiteral("If you already have The Kivonet Lobby and you wish to play with others then click the "
                           "button below to close this game and open The Kivonet Lobby."),
            {16, 16, 268, 96}, 13, false);
    TSelButton* others =
        addButton(panel, QStringLiteral("Button2"), QStringLiteral("Play with Others"), {70, 136, 160, 30});
    connect(others, &TSelButton::clicked, this, &Tdownload::Button2Click);
}

bool Tdownload::setInstallerUrl(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return false;
    m_installerUrl = url;
    return true;
}

QString Tdownload::installerFileName() const
{
    // Only a plain name may come from the address: nothing that climbs out of
    // the game's folder.
    const QString name = m_installerUrl.fileName(QUrl::FullyDecoded);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QLatin1Char('/')))
        return kFallbackFileName;
    return name;
}

void Tdownload::getbuttonClick()
{
    if (m_http->isRunning())
        return;
    if (m_installerUrl.isEmpty()) {
        // The lobby's maker stores where its installer lives; without that
        // there is no address worth trying, and nothing a player could set.
        m_infolabel->setText(QStringLiteral("No installer address is set."));
        m_infolabel3->setText(
            QStringLiteral("This copy of the game cannot download the lobby. Get it from its makers, or play solo."));
        return;
    }
    m_state = Started;
    const QString name = installerFileName();
    m_infolabel2->setText(name);
    const QString path = QDir(m_targetFolder).filePath(name);
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        report(QStringLiteral("Cannot create file %1").arg(path));
        return;
    }
    m_file = std::move(file);
    setButtonOn(m_getbutton, false);
    setButtonOn(m_abortbutton, true);
    m_infolabel->setText(QStringLiteral("Loading"));
    if (!m_http->start(m_installerUrl, m_file.get())) {
        const QString why = m_http->setUpError();
        transferFinished(HttpDownload::Outcome::TransferError,
                         why.isEmpty() ? tr("The transfer could not be set up") : why);
    }
}

void Tdownload::abortbuttonClick()
{
    if (!m_http->isRunning())
        return;
    m_infolabel->setText(QStringLiteral("Download has been aborted."));
    m_state = Failed;
    m_infolabel3->setText(QStringLiteral("Download Aborted"));
    m_http->stop(); // ends in transferFinished(Stopped)
}

void Tdownload::HttpCli1HeaderData()
{
    m_infolabel->setText(m_infolabel->text() + QLatin1Char('.'));
}

void Tdownload::HttpCli1DocBegin()
{
    m_infolabel3->setText(QStringLiteral("Downloading: ") + m_infolabel2->text());
}

void Tdownload::HttpCli1DocData(qint64 total)
{
    m_infolabel->setText(QString::number(total) + QStringLiteral(" bytes"));
}

void Tdownload::transferFinished(HttpDownload::Outcome outcome, const QString& detail)
{
    QString problem;
    if (outcome == HttpDownload::Outcome::Completed && !m_file->flush())
        problem = m_file->errorString();
    else if (outcome == HttpDownload::Outcome::TransferError)
        problem = detail;

    if (outcome == HttpDownload::Outcome::Completed && problem.isEmpty()) {
        m_infolabel->setText(QStringLiteral("Received %1 bytes").arg(m_file->size()));
    } else {
        // A broken or short transfer is never run: only the whole installer is.
        m_infolabel->setText(QStringLiteral("Download Aborted"));
        m_state = Failed;
    }
    setButtonOn(m_getbutton, true);
    setButtonOn(m_abortbutton, false);
    const QString path = m_file->fileName();
    m_file.reset();

    if (!problem.isEmpty())
        report(QStringLiteral("Download - ") + problem);
    if (m_state != Failed)
        runInstaller(path);
}

void Tdownload::runInstaller(const QString& path)
{
    m_infolabel3->setText(QStringLiteral("Installing"));
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    if (!m_start(path, installerArguments(), QFileInfo(path).absolutePath())) {
        report(QStringLiteral("An Error has Occurred."));
        return;
    }
    emit exitRequested();
}

void Tdownload::Button1Click()
{
    close();
}

void Tdownload::Button2Click()
{
    if (!QFileInfo(m_lobbyPath).isFile()) {
        report(QStringLiteral("Please close the game and open the Kivonet Lobby using the icon on your desktop or "
                              "using the your Window's start-up menu."));
        return;
    }
    // A lobby that will not start leaves the game running.
    if (!m_start(m_lobbyPath, {}, QFileInfo(m_lobbyPath).absolutePath())) {
        report(QStringLiteral("An Error has Occurred."));
        return;
    }
    emit exitRequested();
}

void Tdownload::report(const QString& text)
{
    if (m_report)
        m_report(text);
}

void Tdownload::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Button1Click(); // "Play Solo Game" is the window's default button
        return;
    }
    SideWindow::keyPressEvent(event);
}

void Tdownload::closeEvent(QCloseEvent* event)
{
    // Going on with the solo game gives up the download: an installer that
    // started later would end the game in the middle of play.
    abortbuttonClick();
    SideWindow::closeEvent(event);
}

} // namespace velmora
