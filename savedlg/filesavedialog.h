#pragma once

#include "browser/mybasedlg.h"
#include "platform/res_icon_reader.h"

#include <QString>
#include <QStringList>

#include <memory>

class ZComboBox;
class ZConfig;
class ZFormContainer;
class ZLabel;
class ZLineEdit;
class ZListBox;
class ZSeparator;
class ZSoftKey;

// The save-as window: a name field, a picture type and a folder browser that walks the storage
// folders. OK has the converter write the picture to the chosen folder, name and type.
class FileSaveDialog : public MyBaseDlg
{
    Q_OBJECT

public:
    FileSaveDialog(QString folder, QString source);
    ~FileSaveDialog() override;

    void showDir();
    void back();
    // The file the latest save wrote, or tried to write.
    QString getSavePath() const { return savePath; }

    // A name the converter can be given: not empty, shorter than 128 bytes in UTF-8, and free
    // of the characters that no file name on the handset's storage may hold.
    static bool isValidFileName(QString name);

    // The directory of the executable, from the path the program was started by.
    static QString getProgrammeDir();
    // A reader on the language file that the handset's language setting selects.
    static std::unique_ptr<ZConfig> getConfig();

public slots:
    void fileSaveOk();
    void fileSaveCancel();
    void itemSelected(int row);
    void itemActivated(int index);

private:
    QString curDir;
    QString sourcePath;
    QString fileType;
    QString savePath;
    QString programmeDir;
    QStringList typeList;
    RES_ICON_Reader iconReader;
    ZFormContainer *formContainer = nullptr;
    ZLineEdit *nameEdit = nullptr;
    ZComboBox *typeCombo = nullptr;
    ZSeparator *separator = nullptr;
    ZLabel *folderLabel = nullptr;
    ZListBox *folderList = nullptr;
    ZSoftKey *softKey = nullptr;
    std::unique_ptr<ZConfig> langConfig;

    friend struct TestProbe;
};
