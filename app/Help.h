// Where the help page is and where the Help menu's links point. The web and
// mail addresses are build-time configuration (REELSHIFT_WEBSITE_URL,
// REELSHIFT_SUPPORT_EMAIL).
#pragma once

#include <QString>
#include <QUrl>

// The help page of a program in programFolder: "help/index.html" beside the
// executable, else the installed share folder; the first path when neither
// exists (opening it then shows whatever the desktop shows).
QString HelpFilePath(const QString& programFolder);

QUrl WebsiteUrl();
QUrl SupportMailUrl();  // mailto:
