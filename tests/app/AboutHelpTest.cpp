// The About box, the help page and the links of the Help menu.
#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "FormAbout.h"
#include "Help.h"
#include "WindowTestSupport.h"

using namespace windowtest;

TEST_F(WindowTest, AboutBoxShowsNameVersionAndLinks) {
  StartWindow();
  TFormAbout& about = *form->FormAbout;
  EXPECT_EQ(about.windowTitle(), "About");
  EXPECT_EQ(about.size(), QSize(370, 260));
  EXPECT_TRUE(about.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(about.Image1->geometry(), QRect(15, 13, 32, 32));
  EXPECT_FALSE(about.Image1->pixmap().isNull());
  EXPECT_EQ(about.Label1->text(), "Reelshift 4.0");
  EXPECT_TRUE(about.Label1->font().bold());
  EXPECT_EQ(about.Label1->pos(), QPoint(83, 19));
  EXPECT_EQ(about.PanelDemar1->geometry(), QRect(15, 106, 340, 2));
  EXPECT_EQ(about.PanelDemar2->geometry(), QRect(15, 178, 340, 2));
  EXPECT_EQ(about.Label2->text(), "Visit Quillmark Website  for More Softwares ");
  EXPECT_EQ(about.Label2->pos(), QPoint(86, 120));
  EXPECT_EQ(about.Label3->text(), "Contact Support Department");
  EXPECT_EQ(about.Label3->pos(), QPoint(86, 148));
  for (const QLabel* link :
       {static_cast<QLabel*>(about.Label2), static_cast<QLabel*>(about.Label3)}) {
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
  }
  EXPECT_EQ(about.SpeedButton1->text(), "OK");
  EXPECT_TRUE(about.SpeedButton1->font().bold());
  EXPECT_EQ(about.SpeedButton1->geometry(), QRect(276, 217, 80, 31));
}

TEST_F(WindowTest, LinksOpenTheConfiguredAddresses) {
  StartWindow();
  QTest::mouseClick(form->FormAbout->Label2, Qt::LeftButton);
  QTest::mouseClick(form->FormAbout->Label3, Qt::LeftButton);
  form->VisitOurWebsite1->trigger();
  ASSERT_EQ(prompts.OpenedUrls.size(), 3u);
  EXPECT_EQ(prompts.OpenedUrls[0], WebsiteUrl());
  EXPECT_EQ(prompts.OpenedUrls[1], SupportMailUrl());
  EXPECT_EQ(prompts.OpenedUrls[2], WebsiteUrl());
  EXPECT_TRUE(WebsiteUrl().host().endsWith(".example"));
  EXPECT_EQ(SupportMailUrl().scheme(), "mailto");
  EXPECT_TRUE(SupportMailUrl().path().endsWith(".example"));
}

TEST_F(WindowTest, AboutIsModalAndOkClosesIt) {
  StartWindow();
  bool wasModal = false;
  QTimer::singleShot(100, [&] {
    wasModal = QApplication::activeModalWidget() == form->FormAbout;
    form->FormAbout->SpeedButton1->click();
  });
  form->About1->trigger();  // returns only when the box is closed
  EXPECT_TRUE(wasModal);
  EXPECT_FALSE(form->FormAbout->isVisible());
}

TEST_F(WindowTest, HelpOpensTheShippedPageDescribingTheProgram) {
  StartWindow();
  form->OpenHelpFile1->trigger();
  form->OpenHelpFile1->trigger();
  ASSERT_EQ(prompts.OpenedUrls.size(), 2u);
  const QUrl page = prompts.OpenedUrls[0];
  EXPECT_EQ(prompts.OpenedUrls[1], page);
  ASSERT_TRUE(page.isLocalFile());
  EXPECT_TRUE(page.toLocalFile().endsWith("/help/index.html"));
  QFile file(page.toLocalFile());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page.toLocalFile().toStdString();
  const QString html = QString::fromUtf8(file.readAll());
  for (const char* topic :
       {"Add Files", "Convert Now !", "Output Format", "Output Folder",
        "Overwrite Existing File With The Same Name", "Drop Down Items", "Reelshift.conf",
        "reelshift-cli", "iPod", "3GP", "Stop Convert", "LetterBox"})
    EXPECT_TRUE(html.contains(topic)) << topic;
}
