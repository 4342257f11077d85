#pragma once

#include <QIcon>
#include <QList>
#include <QPair>
#include <QString>

namespace tw::optimages {

// Image keys of the option tree. A node's kind and state live in its image
// key: "FOLDER..." folders, "OPTION" + "YES"/"NO" options, "CHECK_" +
// "YES"/"NO"/"PART" checks, the last two followed by the icon set's suffix.
inline constexpr const char* kFolderClosed = "FOLDERCLOSED";
inline constexpr const char* kFolderOpen = "FOLDEROPEN";
inline constexpr const char* kOptionYes = "OPTIONYES";
inline constexpr const char* kOptionNo = "OPTIONNO";
inline constexpr const char* kCheckYes = "CHECK_YES";
inline constexpr const char* kCheckNo = "CHECK_NO";
inline constexpr const char* kCheckPart = "CHECK_PART";

// "3D" for icon set 0, "95" (flat) for 1, nothing for any other set.
QString Suffix(int iconSet);
// The image key without its icon-set suffix.
QString WithoutSuffix(const QString& imageKey);

// The twelve built-in pictures, in their order: the two folders, then the
// "3D" options and checks, then the "95" ones. Check boxes and option
// buttons are drawn by the desktop style whenever they are painted, so they
// follow its theme and stay sharp at any scale.
QList<QPair<QString, QIcon>> BuiltInPictures();

}  // namespace tw::optimages
