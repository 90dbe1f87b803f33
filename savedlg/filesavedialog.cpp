#include "savedlg/filesavedialog.h"

#include "browser/errormessage.h"
#include "browser/folderlisting.h"
#include "browser/question.h"
#include "lang/language.h"
#include "platform/converterrun.h"
#include "platform/filename.h"
#include "platform/filesystem.h"
#include "platform/zappinfoarea.h"
#include "platform/zcombobox.h"
#include "platform/zconfig.h"
#include "platform/zformcontainer.h"
#include "platform/zlabel.h"
#include "platform/zlineedit.h"
#include "platform/zlistbox.h"
#include "platform/zlistboxitem.h"
#include "platform/zseparator.h"
#include "platform/zsoftkey.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

// The longest name accepted, in bytes of its UTF-8 form.
constexpr int MaxNameBytes = 127;
// The bytes that no file name on the handset's storage may hold.
constexpr QByteArrayView RefusedBytes("\"*/:<>?\\|");

} // namespace

FileSaveDialog::FileSaveDialog(QString folder, QString source)
{
    langConfig = getConfig();
    setMainWidgetTitle(Language::menuText(*langConfig, "UI_SAVE_TITLE"));
    setTitleBarWidget(new ZAppInfoArea(this));
    formContainer = new ZFormContainer(this);
    setContentWidget(formContainer);

    programmeDir = getProgrammeDir();
    curDir = std::move(folder);
    sourcePath = std::move(source);
    fileType = QStringLiteral(".jpg");
    typeList << QStringLiteral(".jpg") << QStringLiteral(".jpeg") << QStringLiteral(".png")
             << QStringLiteral(".gif") << QStringLiteral(".bmp") << QStringLiteral(".*");

    nameEdit = new ZLineEdit(this);
    nameEdit->setTitle(Language::menuText(*langConfig, "UI_FILE_NAME"));
    formContainer->addChild(nameEdit);

    typeCombo = new ZComboBox(this);
    typeCombo->setDlgInstructText(Language::menuText(*langConfig, "UI_FILE_TYPE"));
    typeCombo->insertStringList(typeList, -1);
    formContainer->addChild(typeCombo);

    separator = new ZSeparator(this);
    formContainer->addChild(separator);

    const QString folderCaption = Language::menuText(*langConfig, "UI_FILE_FOLDER");
    folderLabel = new ZLabel(folderCaption + FileName::displayName(curDir), this);
    // Folders deep down differ in their last names, so a long line keeps its caption and its end.
    folderLabel->setElideMode(Qt::ElideLeft, int(folderCaption.size()));
    formContainer->addChild(folderLabel);

    folderList = new ZListBox(this);
    formContainer->addChild(folderList);
    showDir();

    softKey = new ZSoftKey("CST_2A", this);
    setCSTWidget(softKey);
    softKey->setText(0, Language::menuText(*langConfig, "UI_OK"));
    softKey->setClickedSlot(0, this, SLOT(fileSaveOk()));
    softKey->setText(1, Language::menuText(*langConfig, "UI_CANCEL"));
    softKey->setClickedSlot(1, this, SLOT(fileSaveCancel()));

    connect(folderList, SIGNAL(selected(int)), this, SLOT(itemSelected(int)));
    connect(typeCombo, SIGNAL(activated(int)), this, SLOT(itemActivated(int)));
    // The name is what the user came to type.
    nameEdit->setFocus();
}

FileSaveDialog::~FileSaveDialog() = default;

QString FileSaveDialog::getProgrammeDir()
{
    return Language::programmeDirFrom(QCoreApplication::arguments().value(0));
}

std::unique_ptr<ZConfig> FileSaveDialog::getConfig()
{
    const ZConfig systemSetting(Language::systemSettingPath());
    const QString languageType = Language::languageType(systemSetting, Language::desktopLocale());
    return std::make_unique<ZConfig>(Language::languageFilePath(getProgrammeDir(), languageType));
}

void FileSaveDialog::showDir()
{
    folderList->clear();
    FolderListing::appendRow(folderList,
                             iconReader.getIcon(QStringLiteral("gen_back_to_arrw_small.bmp")),
                             QStringLiteral(".."));
    const QPixmap folderIcon = iconReader.getIcon(QStringLiteral("fm_folder_small.bmp"));
    // Hidden folders are not offered, nor "." and "..".
    for (const QString &name : FolderListing::sortedListing(curDir).folders) {
        if (!name.startsWith(QLatin1Char('.')))
            FolderListing::appendRow(folderList, folderIcon, name);
    }
    // The back row is highlighted even in a folder that cannot be read, so Return leads out.
    folderList->setCurrentItem(0);
}

void FileSaveDialog::back()
{
    curDir = FolderListing::parentPath(curDir);
    showDir();
}

void FileSaveDialog::itemSelected(int row)
{
    if (row == 0) {
        back();
        folderLabel->setText(Language::menuText(*langConfig, "UI_FILE_FOLDER") +
                             FileName::displayName(curDir));
        return;
    }
    const ZListBoxItem *item = folderList->item(row);
    if (!item)
        return;
    const QString path = FolderListing::childPath(curDir, item->getSubItemText(1));
    if (FileSystem::kind(path) == FileSystem::Kind::File)
        return;
    curDir = path;
    showDir();
    // A blank after the text, as the line has always had once the user has gone down a folder.
    folderLabel->setText(Language::menuText(*langConfig, "UI_FILE_FOLDER") + u' ' +
                         FileName::displayName(curDir));
}

void FileSaveDialog::itemActivated(int index)
{
    // The last entry, ".*", adds no extension: the name as typed carries its own.
    fileType = index == typeCombo->count() - 1 ? QStringLiteral("") : typeCombo->text(index);
}

bool FileSaveDialog::isValidFileName(QString name)
{
    const QByteArray bytes = name.toUtf8();
    if (bytes.isEmpty() || bytes.size() > MaxNameBytes)
        return false;
    // Besides the refused bytes, a zero byte would cut the command line short.
    return std::none_of(bytes.cbegin(), bytes.cend(),
                        [](char byte) { return byte == '\0' || RefusedBytes.contains(byte); });
}

void FileSaveDialog::fileSaveOk()
{
    const QString name = nameEdit->text().trimmed();
    if (!isValidFileName(name)) {
        showError(*langConfig, "UI_INVALID_NAME");
        return;
    }
    savePath = FolderListing::childPath(curDir, name + fileType);
    if (FileSystem::kind(savePath) == FileSystem::Kind::File) {
        const QString question = Language::menuText(*langConfig, "UI_REPLACE_FILE");
        if (!askYesNo(*langConfig, question.arg(FileName::displayName(name + fileType))))
            return;
    }
    const int status = ConverterRun::run(programmeDir, sourcePath, QString(), savePath,
                                         "file save command:%s\n");
    if (status == 0) {
        accept();
        return;
    }
    // A save the user stopped needs no message: the dialog stays as it was.
    if (status == ConverterRun::Cancelled) {
        std::puts("file save cancelled");
        return;
    }
    showError(*langConfig, "UI_SAVE_FAILURE");
}

void FileSaveDialog::fileSaveCancel()
{
    reject();
}
