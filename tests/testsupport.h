#pragma once

#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <optional>

class ZListBox;

// A temporary copy of the build's program directory, which the program takes for its own.
class ProgramDir
{
public:
    // The folder's name starts with the given text, which may hold any character.
    explicit ProgramDir(const QString &namePrefix = QStringLiteral("prog"));
    ~ProgramDir();

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // What a stand-in converter does after it has recorded its arguments.
    enum class Converter { Copies, Fails, ExitsWithoutWriting };
    // Replaces the converter by a script that records its arguments and waits before it acts.
    void useFakeConverter(Converter behaviour = Converter::Copies, double seconds = 0);
    // The arguments of every run of the stand-in converter, one list per run.
    QList<QStringList> converterRuns() const;

private:
    QTemporaryDir m_dir;
    QString m_previousStart; // restored when this one goes, for program directories that nest
};

// Collects what the program writes to standard output until finish().
class StdoutCapture
{
public:
    StdoutCapture();
    ~StdoutCapture() { finish(); }
    QString finish();

private:
    int m_saved = -1;
    QTemporaryFile m_file;
};

// Runs the action, which must close it, on each modal window that comes up while it lives; one
// that comes up inside the action is left to another answerer.
class ModalAnswers : public QTimer
{
public:
    explicit ModalAnswers(std::function<void(QWidget *)> action, bool onlyTheNext = false);
};

// Runs the action on the next modal window to appear.
void answerModal(std::function<void(QWidget *)> action);

// What the popups the code opens said, as "Go? [Yes/No]" for a question; the key answers each.
QStringList popupsDuring(const std::function<void()> &code, Qt::Key answer = Qt::Key_Return);

// Sets an environment variable until what it returns goes, which restores the old one.
[[nodiscard]] inline auto setVariable(const char *name, const QByteArray &value)
{
    const auto old = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
    qputenv(name, value);
    return qScopeGuard([name, old] { old ? qputenv(name, *old) : qunsetenv(name); });
}

// Chooses a row of a list as the user does: highlight it, press Return.
void choose(ZListBox *list, const QString &name);

// Test data of text only: columns of the given names, and rows of values in their order.
void columns(std::initializer_list<const char *> names);
void row(const char *tag, std::initializer_list<QString> values);

// Writes a file with the given bytes, making its folder if need be; reads one, empty if none.
void writeFile(const QString &path, const QByteArray &bytes = QByteArray());
QByteArray readFile(const QString &path);

// Red, green, blue and white quarters, so that any turn, mirror or cut shows in the corners.
QImage quarters(int width = 80, int height = 60);
// "WxH top-left/bottom-right colours", each colour named as the nearest of the eight pure ones.
QString describePicture(const QImage &image);
// Structural similarity of brightness over 8 x 8 blocks: 1 for the same picture, 0 if sizes differ.
double similarity(const QImage &a, const QImage &b);

// A JPEG stored lying on its side, with an EXIF orientation of 6 that turns it upright.
QByteArray turnedJpeg(const QImage &stored);

// A test's entry point: a handset application, started from the latest ProgramDir, runs the test.
int runTest(int argc, char **argv, QObject *test);

#define PICTALUX_TEST_MAIN(TestClass)                                                              \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        TestClass test;                                                                            \
        return runTest(argc, argv, &test);                                                         \
    }
