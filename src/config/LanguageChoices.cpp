#include "config/LanguageChoices.h"

#include "config/AppPaths.h"
#include "config/LanguageTexts.h"
#include "model/Language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

namespace LanguageChoices {
namespace {

const QString kLangFolder = QStringLiteral("lang/");

bool SameFolder(const QString& a, const QString& b)
{
    return QDir::cleanPath(QDir(a).absolutePath()) == QDir::cleanPath(QDir(b).absolutePath());
}

bool SameFile(const QString& a, const QString& b)
{
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

std::optional<QByteArray> ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

QString LocaleCode(const QString& path)
{
    return LanguageTexts::Load(path).Text(QStringLiteral("Language"), QStringLiteral("Locale"), QString()).trimmed();
}

// The language files of the shared folder, then those of the own folder when
// it is another one, each sorted by name.
QStringList FolderFiles(const Places& places)
{
    QStringList folders{places.sharedFolder};
    if (!SameFolder(places.ownFolder, places.sharedFolder))
        folders << places.ownFolder;
    QStringList files;
    for (const QString& folder : std::as_const(folders)) {
        const QDir dir(folder);
        for (const QFileInfo& info :
             dir.entryInfoList({QStringLiteral("*.LNG")}, QDir::Files | QDir::Readable, QDir::Name))
            files << info.absoluteFilePath();
    }
    return files;
}

// The user file's bytes when it holds a translation that none of the listed
// files holds: the operator's own, found nowhere else.
std::optional<QByteArray> OwnTranslation(const Places& places)
{
    const std::optional<QByteArray> user = ReadAll(places.userFile);
    if (!user || user->trimmed().isEmpty())
        return std::nullopt;
    for (const QString& file : FolderFiles(places)) {
        if (ReadAll(file) == user)
            return std::nullopt;
    }
    return user;
}

QString WriteAtomically(const QString& path, const QByteArray& bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return Tr("LanguageChoices", "CannotWrite", "The language file %1 cannot be written: %2")
            .arg(path, Tr("LanguageChoices", "NoFolder", "its folder cannot be made"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return Tr("LanguageChoices", "CannotWrite", "The language file %1 cannot be written: %2")
            .arg(path, file.errorString());
    return {};
}

// A name in the own folder that no file has yet.
QString KeepingName(const QString& ownFolder, const QDateTime& now)
{
    const QString stem = QDir(ownFolder).filePath(QStringLiteral("own-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QString path = stem + QStringLiteral(".LNG");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = stem + QStringLiteral("-%1.LNG").arg(n);
    return path;
}

// Keeps the operator's own translation before the user file is replaced, so
// it stays listed.
Outcome KeepOwnTranslation(const Places& places, const QDateTime& now)
{
    const std::optional<QByteArray> own = OwnTranslation(places);
    if (!own)
        return {};
    const QString path = KeepingName(places.ownFolder, now);
    if (const QString error = WriteAtomically(path, *own); !error.isEmpty())
        return {Tr("LanguageChoices", "CannotKeep",
                   "Your own language file could not be kept, so it was left as it is. %1")
                    .arg(error),
                {}};
    return {{}, path};
}

// English: no user file, or an empty one where the shared folder has a
// language file that would be read in its place.
QString ChooseEnglish(const Places& places)
{
    if (!places.sharedFile.isEmpty() && !SameFile(places.sharedFile, places.userFile)
        && QFileInfo::exists(places.sharedFile))
        return WriteAtomically(places.userFile, {});
    QFile file(places.userFile);
    if (file.exists() && !file.remove())
        return Tr("LanguageChoices", "CannotRemove", "The language file %1 cannot be removed: %2")
            .arg(places.userFile, file.errorString());
    return {};
}

} // namespace

Places CurrentPlaces(const QString& fileName)
{
    const AppPaths::Layout& layout = AppPaths::CurrentLayout();
    return {layout.dataDir + kLangFolder, AppPaths::ProgramFile(kLangFolder), AppPaths::ProgramFile(fileName),
            layout.dataDir + fileName};
}

QList<Choice> List(const Places& places)
{
    const std::optional<QByteArray> user = ReadAll(places.userFile);
    QList<Choice> choices;
    choices << Choice{Choice::Kind::English, {}, {}, false};
    bool found = false;
    for (const QString& file : FolderFiles(places)) {
        const bool inUse = !found && user && ReadAll(file) == user;
        found = found || inUse;
        choices << Choice{Choice::Kind::File, file, LocaleCode(file), inUse};
    }
    if (OwnTranslation(places)) {
        choices << Choice{Choice::Kind::UserFile, places.userFile, LocaleCode(places.userFile), true};
        found = true;
    }
    if (!found) {
        // The program reads the user file, else the shared one; neither with
        // any text means English.
        const QString read = user ? places.userFile : places.sharedFile;
        choices.first().inUse = LanguageTexts::Load(read).IsEmpty();
    }
    return choices;
}

Outcome Choose(const Places& places, const Choice& choice, const QDateTime& now)
{
    if (choice.kind == Choice::Kind::UserFile)
        return {};
    std::optional<QByteArray> chosen;
    if (choice.kind == Choice::Kind::File) {
        QFile file(choice.path);
        if (!file.open(QIODevice::ReadOnly))
            return {Tr("LanguageChoices", "CannotRead", "The language file %1 cannot be read: %2")
                        .arg(choice.path, file.errorString()),
                    {}};
        chosen = file.readAll();
        if (ReadAll(places.userFile) == chosen)
            return {};
    }
    Outcome outcome = KeepOwnTranslation(places, now);
    if (!outcome.Done())
        return outcome;
    outcome.error = chosen ? WriteAtomically(places.userFile, *chosen) : ChooseEnglish(places);
    return outcome;
}

} // namespace LanguageChoices
