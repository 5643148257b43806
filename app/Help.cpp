#include "Help.h"

#include <QDir>
#include <QFileInfo>

#ifndef REELSHIFT_WEBSITE_URL
#define REELSHIFT_WEBSITE_URL "https://www.quillmark.example/"
#endif
#ifndef REELSHIFT_SUPPORT_EMAIL
#define REELSHIFT_SUPPORT_EMAIL "support@quillmark.example"
#endif

QString HelpFilePath(const QString& programFolder) {
  const QDir folder(programFolder);
  const QString candidates[] = {
      folder.filePath("help/index.html"),
      folder.filePath("../share/reelshift/help/index.html"),
  };
  for (const QString& path : candidates)
    if (QFileInfo(path).isFile()) return QDir::cleanPath(path);
  return QDir::cleanPath(candidates[0]);
}

QUrl WebsiteUrl() {
  return QUrl(QStringLiteral(REELSHIFT_WEBSITE_URL));
}

QUrl SupportMailUrl() {
  return QUrl(QStringLiteral("mailto:" REELSHIFT_SUPPORT_EMAIL));
}
