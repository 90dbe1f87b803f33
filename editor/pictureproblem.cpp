#include "editor/pictureproblem.h"

#include <QImageReader>

#include <algorithm>

#include <unistd.h>

PictureProblem pictureProblem(const QImageReader &reader, QSize declared)
{
    if (declared.isValid() && double(declared.width()) * declared.height() * 4 >
                                      double(QImageReader::allocationLimit()) * 1024 * 1024)
        return PictureProblem::TooLarge;
    switch (reader.error()) {
    case QImageReader::FileNotFoundError:
    case QImageReader::DeviceError:
        return PictureProblem::Unreadable;
    case QImageReader::UnsupportedFormatError:
        return PictureProblem::NotAPicture;
    default:
        return PictureProblem::Damaged;
    }
}

const char *problemKey(PictureProblem problem)
{
    switch (problem) {
    case PictureProblem::Unreadable:
        return "EDIT_UNREADABLE";
    case PictureProblem::NotAPicture:
        return "EDIT_NOT_A_PICTURE";
    case PictureProblem::Damaged:
        return "EDIT_DAMAGED";
    case PictureProblem::TooLarge:
        return "EDIT_TOO_LARGE_TO_SHOW";
    }
    return "";
}

int pictureMemoryLimit()
{
    const double bytes = double(::sysconf(_SC_PHYS_PAGES)) * double(::sysconf(_SC_PAGESIZE));
    return std::max(int(bytes / 4 / (1024 * 1024)), QImageReader::allocationLimit());
}
