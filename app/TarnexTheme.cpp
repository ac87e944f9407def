#include "TarnexTheme.h"

#include "VYRQJson.h"
#include "VYRQRegularFile.h"
#include "VYRQResourceManager.h"

#include <QByteArray>
#include <QFile>

#include <json/value.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnex {

const QStringList& windowThemeNames()
{
    static const QStringList names{
        "KolvCard", "KolvCardAlt", "KolvClear", "KolvCloseButton", "KolvCombo", "KolvDivider", "KolvDrawer",
        "KolvIconButton", "KolvLabelAccent", "KolvLabelAccentCenter", "KolvLabelDanger", "KolvLabelMdBold",
        "KolvLabelMetric", "KolvLabelMetricSm", "KolvLabelMuted", "KolvLabelSection", "KolvLabelSmBold",
        "KolvLabelTitle", "KolvLabelWarning", "KolvLabelWhiteCenter", "KolvLabelXs", "KolvLanguageButtonActive",
        "KolvLinkButton", "KolvNavButton", "KolvNavButtonActive", "KolvPage", "KolvPrimaryButton",
        "KolvProcessCanvas", "KolvScrollH", "KolvScrollV", "KolvSecondaryButton", "KolvSidebar", "KolvStack",
        "KolvStatusCritical", "KolvStatusNormal", "KolvStatusOffline", "KolvStatusWarning", "KolvTable",
        "KolvTopbar", "KolvWindow"};
    return names;
}

namespace {

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// What keeps the theme file at path from being read as JSON into root; empty when it
// reads and parses.
QString fileFault(const QString& path, Json::Value& root)
{
    // The library takes an unreadable file for one that does not parse: ask the system
    // why.
    if (::access(QFile::encodeName(path).constData(), R_OK) != 0)
        return systemText(errno);
    QByteArray text;
    const vyr::FileRead read = vyr::readRegularFile(path, vyr::maxFileBytes, text);
    if (read != vyr::FileRead::Read)
        return QString::fromLatin1(vyr::fileReadText(read));
    if (text.isEmpty())
        return QStringLiteral("it is empty");
    if (!vyr::json::parse(text, root))
        return QStringLiteral("it does not parse as JSON");
    return QString();
}

QString quotedNames(const QStringList& names)
{
    const int shown = 3;
    QString text = QLatin1Char('"') + names.mid(0, shown).join(QLatin1String("\", \"")) + QLatin1Char('"');
    if (names.size() > shown)
        text += QStringLiteral(" and %1 more").arg(names.size() - shown);
    return text;
}

} // namespace

QString themeElementsFault(const QString& folder)
{
    const VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    QStringList missing;
    for (const QString& name : windowThemeNames()) {
        if (!rm->getThemeJsonValue(name.toUtf8().constData()))
            missing << name;
    }
    if (missing.isEmpty())
        return QString();
    const QString path = folder + QStringLiteral("/theme.json");
    Json::Value root;
    QString cause = fileFault(path, root);
    if (cause.isEmpty() && missing.size() < windowThemeNames().size()) {
        // A theme may leave names out: the controls that select them keep their looks.
        qWarning("%s lacks the window's theme elements %s", qPrintable(path), qPrintable(quotedNames(missing)));
        return QString();
    }
    if (cause.isEmpty())
        cause = QStringLiteral("it gives none of the window's theme elements (%1)").arg(quotedNames(missing));
    return path + QStringLiteral(": ") + cause;
}

QString themeFolderFault(const QString& folder)
{
    struct stat info;
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0) {
        const int error = errno;
        return error == ENOENT ? QString() : folder + QStringLiteral(": ") + systemText(error);
    }
    if (!S_ISDIR(info.st_mode))
        return folder + QStringLiteral(": ") + systemText(ENOTDIR);
    const QString path = folder + QStringLiteral("/style.json");
    Json::Value root;
    QString cause = fileFault(path, root);
    if (cause.isEmpty() && !vyr::json::array(root, "style"))
        cause = QStringLiteral("it has no \"style\" array");
    // Past this the library refused the styles themselves (it logs why: too many).
    if (cause.isEmpty())
        cause = QStringLiteral("its styles could not be loaded");
    return path + QStringLiteral(": ") + cause;
}

} // namespace tarnex
