#pragma once

#include "httpdownload.h"
#include "sidewindow.h"

#include <QUrl>
#include <functional>
#include <memory>

class QFile;
class QFrame;
class QLabel;

namespace velmora {

class TSelButton;

// The lobby download window, shown when the game starts without parameters.
// It offers three ways on: download and silently install the lobby (the game
// then ends), go on with the solo game, or end the game and open an installed
// lobby. The game's end is asked of the main window through exitRequested().
class Tdownload : public SideWindow {
    Q_OBJECT
public:
    // Starts a program detached from the game; false when it cannot be started.
    using ProgramStarter =
        std::function<bool(const QString& program, const QStringList& arguments, const QString& workingFolder)>;

    // Our lobby, velmora-lobby, sits beside the game's own program (installed
    // or in the build tree alike); a LobbyPath in the settings file wins.
    static constexpr const char* kLobbyProgram = "velmora-lobby";
    static QString defaultLobbyPath();
    // The installer's own switches for a silent install without icons.
    static QStringList installerArguments();

    // Download states, kept as the original window kept them.
    enum State { Idle = 0, Started = 1, Failed = 2 };

    explicit Tdownload(QWidget* parent = nullptr);
    ~Tdownload() override;

    // Only http and https addresses with a file name are taken; false keeps
    // the old one. Until one is taken there is nothing to download, and the
    // window says so.
    bool setInstallerUrl(const QUrl& url);
    QUrl installerUrl() const { return m_installerUrl; }
    // Where the installer is saved (by default the game's data folder: its own
    // folder when that may be written).
    void setTargetFolder(const QString& folder) { m_targetFolder = folder; }
    QString targetFolder() const { return m_targetFolder; }
    void setLobbyPath(const QString& path) { m_lobbyPath = path; }
    QString lobbyPath() const { return m_lobbyPath; }
    void setProgramStarter(ProgramStarter starter) { m_start = std::move(starter); }
    // Where message boxes go (a real box, opened once the current event is done, by default).
    void setMessageReporter(std::function<void(const QString&)> reporter) { m_report = std::move(reporter); }
    // A cap on the installer's size, against a server that never stops sending.
    void setMaxDownloadBytes(qint64 bytes) { m_http->setMaxBytes(bytes); }

    State downloadState() const { return m_state; }
    bool isDownloading() const { return m_http->isRunning(); }
    // The file name taken from the installer's address.
    QString installerFileName() const;

signals:
    // The lobby or its installer has been started: the game should end.
    void exitRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QFrame* addPanel(const QRect& geometry, const QString& objectName);
    QLabel* addText(QWidget* panel, const QString& text, const QRect& geometry, int pixelSize, bool bold);
    TSelButton* addButton(QWidget* panel, const QString& objectName, const QString& caption, const QRect& geometry);
    void setButtonOn(TSelButton* button, bool on);
    void buildDownloadPanel();
    void buildSoloPanel();
    void buildOthersPanel();

    void getbuttonClick();
    void abortbuttonClick();
    void Button1Click();
    void Button2Click();
    void HttpCli1HeaderData();
    void HttpCli1DocBegin();
    void HttpCli1DocData(qint64 total);
    void transferFinished(HttpDownload::Outcome outcome, const QString& detail);
    void runInstaller(const QString& path);
    void report(const QString& text);

    HttpDownload* m_http = nullptr;
    std::unique_ptr<QFile> m_file;
    QUrl m_installerUrl;
    QString m_targetFolder;
    QString m_lobbyPath;
    ProgramStarter m_start;
    std::function<void(const QString&)> m_report;
    State m_state = Idle;

    TSelButton* m_getbutton = nullptr;
    TSelButton* m_abortbutton = nullptr;
    QLabel* m_infolabel = nullptr;
    QLabel* m_infolabel2 = nullptr;
    QLabel* m_infolabel3 = nullptr;
};

} // namespace velmora
