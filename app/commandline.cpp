#include "app/commandline.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace CommandLine {

namespace {

[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "pictalux: %s\n", message.toLocal8Bit().constData());
    std::exit(EXIT_FAILURE);
}

} // namespace

bool asksForTextOnly(int argc, char **argv)
{
    for (int index = 1; index < argc; ++index) {
        const char *argument = argv[index];
        if (std::strcmp(argument, "--") == 0)
            return false;
        for (const char *option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argument, option) == 0)
                return true;
        }
    }
    return false;
}

QString pathToOpen(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
            "Picture editor for a small key-driven screen: walk the folders, pick a picture,\n"
            "zoom, pan, apply a tool and save the result."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("path"),
                                 QStringLiteral("A picture to open in the editor, or a folder to "
                                                "start the browser in."),
                                 QStringLiteral("[picture|folder]"));
    parser.process(arguments);

    const QStringList paths = parser.positionalArguments();
    if (paths.isEmpty())
        return QString();
    if (paths.size() > 1)
        fail(QStringLiteral("one picture or folder at most, not %1").arg(paths.size()));
    const QFileInfo path(paths.first());
    if (!path.exists())
        fail(QStringLiteral("no such picture or folder: %1").arg(paths.first()));
    return QDir::cleanPath(path.absoluteFilePath());
}

} // namespace CommandLine
