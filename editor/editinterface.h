#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <memory>

class PxGui;
class ZConfig;

// The picture editor: a full-screen widget that shows one picture in a 320 x 240 frame and is
// driven entirely from the handset's keys. It owns the browser window and every other
// long-lived object of the program.
class EditInterface : public QWidget
{
    Q_OBJECT

public:
    enum EditMode { MenuMode = 0, CursorMode = 1, ViewMode = 2, NoMode = -1 };

    EditInterface();
    ~EditInterface() override;

    QString etr(const QString &group, const QString &key) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private slots:
    void receivePicPath();

private:
    // Copies the whole frame onto the widget: the one way the widget's pixels change.
    void showFrame();

    PxGui *browser = nullptr;
    std::unique_ptr<ZConfig> langConfig;
    QTimer mouseTimer;
    QTimer viewTimer;
    QTimer popupTimer;
    QPixmap screenBuffer;
    QString picPath;
    QString programmeDir;
    int editMode = NoMode;

    QPixmap shownFrame;
    int framesShown = 0;

    friend struct TestProbe;
};
