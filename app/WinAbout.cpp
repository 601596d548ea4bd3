#include "app/WinAbout.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/GlobalUnit.h"
#include "platform/Shell.h"

namespace vexlo::gui {

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowTitle("About");
    setFixedSize(360, 190);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    lblTitle = new QLabel(this);
    lblTitle->setObjectName("lblTitle");
    lblTitle->setAlignment(Qt::AlignCenter);
    QFont f = lblTitle->font();
    f.setBold(true);
    lblTitle->setFont(f);
    layout->addWidget(lblTitle);
    lblHomePage = new QLabel(this);
    lblHomePage->setObjectName("lblHomePage");
    lblHomePage->setAlignment(Qt::AlignCenter);
    lblHomePage->setCursor(Qt::PointingHandCursor);
    lblHomePage->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    layout->addWidget(lblHomePage);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnOk = new QPushButton("&Ok", this);
    btnOk->setObjectName("btnOk");
    buttons->addWidget(btnOk);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    // The shell opens the address, so tests and the program go the same way.
    connect(lblHomePage, &QLabel::linkActivated, this, [this] { lblHomePageClick(); });
}

void TfrmAbout::showEvent(QShowEvent* event) {
    const TGlobalObject& g = GlobalObject();
    lblTitle->setText(QString::fromStdString(g.Title() + g.VersionText()));
    const QString url = QString::fromStdString(g.HomePageUrl()).toHtmlEscaped();
    lblHomePage->setText("<a href=\"" + url + "\">" + url + "</a>");
    QDialog::showEvent(event);
}

void TfrmAbout::lblHomePageClick() { CurrentShell().Open(GlobalObject().HomePageUrl()); }

}  // namespace vexlo::gui
