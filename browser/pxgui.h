#pragma once

#include "platform/res_icon_reader.h"
#include "platform/zkbmainwidget.h"

#include <memory>

class ZConfig;
class ZListBox;
class ZOptionsMenu;
class ZSoftKey;

// The picture browser: the program's first screen. It lists one folder at a time, folders
// before files, and hands a chosen file to the editor through pathInit().
class PxGui : public ZKbMainWidget
{
    Q_OBJECT

public:
    // Starts in the folder of the picture or folder to be opened, else in the start folder.
    explicit PxGui(const QString &pathToOpen = QString());
    ~PxGui() override;

    QString getPicPath() const { return picPath; }
    void setPicPath(const QString &path) { picPath = path; }
    // Set while the picture in the editor holds tools applied since it was last saved: quitting
    // and choosing another picture then ask first. A save clears it.
    void setUnsavedEdits(bool unsaved) { unsavedEdits = unsaved; }
    // Whether the program may end: true unless there are edits not saved and the user, asked,
    // keeps them.
    bool mayQuit();

    // The folder the browser starts in; PICTALUX_START_DIR names another one on a desktop. Where
    // that folder does not exist: the user's Pictures folder, else the home folder.
    static QString startFolder();

    // Lists a folder, or the folder of a picture and then chooses the picture there, as the
    // user would.
    void openPath(const QString &path);

public slots:
    void edit();
    void back();
    void about();
    void quit();
    void itemSelected(int row);
    void fileSaveAs();

signals:
    void pathInit();

protected:
    // The window manager's close ends the program, so it asks as quitting does.
    void closeEvent(QCloseEvent *event) override;

private:
    void initGui();
    void showDir();
    QString rowName(int row) const;
    static QString folderOf(const QString &path);
    bool mayDiscardEdits(const char *questionKey);
    void showSavedFile(const QString &path);

    ZOptionsMenu *optionsMenu = nullptr;
    ZSoftKey *softKey = nullptr;
    ZListBox *fileList = nullptr;
    QString picPath;
    QString curDir;
    RES_ICON_Reader iconReader;
    std::unique_ptr<ZConfig> langConfig;
    bool unsavedEdits = false;

    friend struct TestProbe;
};
