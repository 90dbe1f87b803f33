#pragma once

class QImageReader;
class QSize;

// Why a picture could not be shown. Each has a text of its own in the language files, group
// "EDIT_MENU".
enum class PictureProblem {
    Unreadable,  // "EDIT_UNREADABLE": gone, or not ours to read
    NotAPicture, // "EDIT_NOT_A_PICTURE": no reader knows the file's format
    Damaged,     // "EDIT_DAMAGED": a known format, but broken
    TooLarge,    // "EDIT_TOO_LARGE_TO_SHOW": more pixels than the memory set aside for them
};

// The problem of a reader whose read() has failed, given the size the file declared before the
// read: a failed read forgets it.
PictureProblem pictureProblem(const QImageReader &reader, QSize declared);

// The language file's key for the problem's text.
const char *problemKey(PictureProblem problem);

// The memory a decoded picture may take, in megabytes: a quarter of the machine's, and never
// less than the toolkit's own limit.
int pictureMemoryLimit();
