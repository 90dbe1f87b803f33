#include "browser/pxgui.h"

#include "browser/errormessage.h"
#include "browser/folderlisting.h"
#include "browser/question.h"
#include "lang/language.h"
#include "platform/filename.h"
#include "platform/filesystem.h"
#include "platform/version.h"
#include "platform/zconfig.h"
#include "platform/zglobal.h"
#include "platform/zlistbox.h"
#include "platform/zlistboxitem.h"
#include "platform/zmessagedlg.h"
#include "platform/zoptionsmenu.h"
#include "platform/zsoftkey.h"
#include "savedlg/filesavedialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace {

// Names go to the trace as the bytes the file system holds.
void traceLine(const QString &path)
{
    std::puts(FileName::encodeName(path).constData());
}

} // namespace

PxGui::PxGui(const QString &pathToOpen)
    : ZKbMainWidget(nullptr, "ePictalux")
{
    setMainWidgetTitle(QStringLiteral("E8 Pictalux"));
    langConfig = FileSaveDialog::getConfig();
    curDir = pathToOpen.isEmpty() ? startFolder() : folderOf(pathToOpen);
    initGui();
}

PxGui::~PxGui()
{
    delete optionsMenu;
    delete softKey;
}

QString PxGui::startFolder()
{
    const QString configured = qEnvironmentVariable("PICTALUX_START_DIR");
    // Going back cuts the path at its slashes, so it must be absolute and clean.
    const QString folder = configured.isEmpty() ? QStringLiteral("/mmc/movinand1")
                                                : QDir::cleanPath(QDir(configured).absolutePath());
    if (QFileInfo(folder).isDir())
        return folder;
    QString fallback = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!QFileInfo(fallback).isDir())
        fallback = QDir::homePath();
    std::printf("no start folder %s, starting in %s\n", folder.toUtf8().constData(),
                fallback.toUtf8().constData());
    return fallback;
}

QString PxGui::folderOf(const QString &path)
{
    const QFileInfo target(path);
    return QDir::cleanPath(target.isDir() ? target.absoluteFilePath() : target.absolutePath());
}

void PxGui::openPath(const QString &path)
{
    const QFileInfo target(path);
    // The browser has started in that folder; it is listed once.
    if (const QString folder = folderOf(path); folder != curDir) {
        curDir = folder;
        showDir();
    }
    if (target.isDir())
        return;
    for (int row = 1; row < fileList->count(); ++row) {
        if (rowName(row) == target.fileName()) {
            fileList->setCurrentItem(row);
            itemSelected(row);
            return;
        }
    }
    // A folder that may be entered but not listed still hands over the picture named.
    picPath = FolderListing::childPath(curDir, target.fileName());
    emit pathInit();
    hide();
}

void PxGui::initGui()
{
    setFocusPolicy(Qt::StrongFocus);
    fileList = new ZListBox(this);
    setContentWidget(fileList);
    softKey = new ZSoftKey("CST_2A", this);
    setCSTWidget(softKey);

    optionsMenu = new ZOptionsMenu(ZGlobal::getContentR(false), this);
    optionsMenu->insertItem(Language::menuText(*langConfig, "UI_EDIT"), nullptr, this,
                            SLOT(edit()));
    optionsMenu->insertItem(Language::menuText(*langConfig, "UI_FILE_SAVE"), nullptr, this,
                            SLOT(fileSaveAs()));
    optionsMenu->insertSeparator();
    optionsMenu->insertItem(Language::menuText(*langConfig, "UI_ABOUT"), nullptr, this,
                            SLOT(about()));
    optionsMenu->insertItem(Language::menuText(*langConfig, "UI_QUIT"), nullptr, this,
                            SLOT(quit()));
    softKey->setOptMenu(0, optionsMenu);

    softKey->setText(0, Language::menuText(*langConfig, "UI_OPTION"));
    softKey->setText(1, Language::menuText(*langConfig, "UI_QUIT"));
    softKey->setTextForOptMenuHide(Language::menuText(*langConfig, "UI_OPTION"));
    softKey->setTextForOptMenuShow(Language::menuText(*langConfig, "UI_SELECT"),
                                   Language::menuText(*langConfig, "UI_CANCEL"));
    softKey->setClickedSlot(1, this, SLOT(quit()));

    connect(fileList, SIGNAL(selected(int)), this, SLOT(itemSelected(int)));
    setFocusProxy(fileList);
    showDir();
}

void PxGui::showDir()
{
    traceLine(curDir);
    fileList->clear();
    FolderListing::appendRow(fileList,
                             iconReader.getIcon(QStringLiteral("gen_back_to_arrw_small.bmp")),
                             QStringLiteral(".."));
    // The back row is highlighted even in a folder that cannot be read, so Return leads out.
    fileList->setCurrentItem(0);
    const FileSystem::Listing listing = FolderListing::sortedListing(curDir);
    if (!listing.readable)
        return;

    // A large folder's trace goes out in one piece rather than a write for every line.
    QByteArray trace;
    const QPixmap folderIcon = iconReader.getIcon(QStringLiteral("fm_folder_small.bmp"));
    for (const QString &name : listing.folders) {
        const QByteArray line = "DIR    " + FileName::encodeName(name) + '\n';
        trace += line;
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        FolderListing::appendRow(fileList, folderIcon, name);
        trace += line;
    }
    const QPixmap fileIcon = iconReader.getIcon(QStringLiteral("fm_insert_file_small.bmp"));
    for (const QString &name : listing.files) {
        trace += "FILE    " + FileName::encodeName(name) + '\n';
        FolderListing::appendRow(fileList, fileIcon, name);
    }
    std::fwrite(trace.constData(), 1, size_t(trace.size()), stdout);
}

QString PxGui::rowName(int row) const
{
    const ZListBoxItem *item = fileList->item(row);
    return item ? item->getSubItemText(1) : QString();
}

void PxGui::itemSelected(int row)
{
    if (row == 0) {
        back();
        return;
    }
    if (!fileList->item(row))
        return;
    const QString path = FolderListing::childPath(curDir, rowName(row));
    traceLine(path);
    if (FileSystem::kind(path) != FileSystem::Kind::File) {
        curDir = path;
        showDir();
        return;
    }
    if (!mayDiscardEdits("UI_UNSAVED_OPEN"))
        return;
    picPath = path;
    emit pathInit();
    hide();
}

void PxGui::back()
{
    curDir = FolderListing::parentPath(curDir);
    showDir();
}

void PxGui::edit()
{
    if (fileList->currentItem() < 0)
        return;
    // Composed without the root's special case: at "/" the path starts with two slashes.
    const QString path = curDir + QLatin1Char('/') + rowName(fileList->currentItem());
    if (FileSystem::kind(path) != FileSystem::Kind::File) {
        // The path of edits not yet saved is what a save needs; a folder row must not take it.
        if (!unsavedEdits)
            picPath = path;
        return;
    }
    if (!mayDiscardEdits("UI_UNSAVED_OPEN"))
        return;
    picPath = path;
    hide();
    emit pathInit();
}

void PxGui::about()
{
    // There is no public address to give; the last line tells the version instead.
    const QString version = Language::menuText(*langConfig, "UI_ABOUT_VERSION")
                                    .arg(QStringLiteral(PICTALUX_VERSION));
    QString text;
    for (const QString &line : {Language::menuText(*langConfig, "UI_ABOUT_PRODUCT"),
                                Language::menuText(*langConfig, "UI_ABOUT_CODE"),
                                Language::menuText(*langConfig, "UI_ABOUT_DESIGN"), version})
        text += line + u'\n';
    ZMessageDlg popup(Language::menuText(*langConfig, "UI_ABOUT"), text);
    popup.setSoftKeyTexts(Language::menuText(*langConfig, "UI_OK"), QString());
    popup.exec();
}

void PxGui::quit()
{
    if (mayQuit())
        QApplication::quit();
}

bool PxGui::mayQuit()
{
    return mayDiscardEdits("UI_UNSAVED_QUIT");
}

void PxGui::closeEvent(QCloseEvent *event)
{
    if (mayQuit())
        ZKbMainWidget::closeEvent(event);
    else
        event->ignore();
}

void PxGui::fileSaveAs()
{
    if (FileSystem::kind(picPath) != FileSystem::Kind::Missing) {
        FileSaveDialog dialog(curDir, picPath);
        if (dialog.exec() == 1) {
            unsavedEdits = false;
            showSavedFile(dialog.getSavePath());
        }
        return;
    }
    showError(*langConfig, "UI_INVALID_FILE");
}

// Edits not saved go only when the user agrees, and are not asked about again.
bool PxGui::mayDiscardEdits(const char *questionKey)
{
    if (!unsavedEdits)
        return true;
    if (!askYesNo(*langConfig, Language::menuText(*langConfig, questionKey)))
        return false;
    unsavedEdits = false;
    return true;
}

// The list moves to the folder saved in, with the saved file highlighted, so that Edit opens
// the picture just written.
void PxGui::showSavedFile(const QString &path)
{
    curDir = FolderListing::parentPath(path);
    showDir();
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    for (int row = 1; row < fileList->count(); ++row) {
        if (rowName(row) == name) {
            fileList->setCurrentItem(row);
            return;
        }
    }
}
