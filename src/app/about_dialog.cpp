#include "about_dialog.h"

#include "app/app_strings.h"
#include "app/help_commands.h"
#include "app/version_info.h"
#include "platform/cursors.h"
#include "platform/guarded_dispatch.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace bw {

namespace {
constexpr int kDescriptionWidth = 260;

QLabel *picture(QWidget *parent, const QString &resource)
{
    auto *label = new QLabel(parent);
    label->setPixmap(QPixmap(resource));
    label->setAlignment(Qt::AlignTop);
    return label;
}
} // namespace

AboutDialog::AboutDialog(const VersionFields &version, UrlOpener &opener, QWidget *parent)
    : QDialog(parent), m_opener(opener)
{
    setObjectName(QStringLiteral("frmAbout"));
    setupWindow(version);
    setFixedSize(sizeHint());
}

void AboutDialog::setupWindow(const VersionFields &version)
{
    m_applicationTitle = version.productName;
    setWindowTitle(QStringLiteral("About ") + version.productName);
    imgIcon = picture(this, QStringLiteral(":/bramblewick.png"));
    lbProductName = new QLabel(version.productName, this);
    QFont titleFont = lbProductName->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lbProductName->setFont(titleFont);
    lbFileVersion = new QLabel(QStringLiteral("Version ") + version.fileVersion, this);
    lbLegalCopyright = new QLabel(version.legalCopyright, this);
    const QString email = loadStr(StrId::AboutEmail);
    lbComments = new QLabel(email, this);
    lbComments->setCursor(CursorTable::make(kCrHandPoint));
    lbComments->setToolTip(QStringLiteral("MailTo:\n") + email);
    QPalette linkPalette = lbComments->palette();
    linkPalette.setColor(QPalette::WindowText, linkPalette.color(QPalette::Link));
    lbComments->setPalette(linkPalette);
    lbComments->installEventFilter(this);
    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);

    lbProductName->setObjectName(QStringLiteral("lbProductName"));
    lbFileVersion->setObjectName(QStringLiteral("lbFileVersion"));
    lbLegalCopyright->setObjectName(QStringLiteral("lbLegalCopyright"));
    lbComments->setObjectName(QStringLiteral("lbComments"));
    btnOk->setObjectName(QStringLiteral("btnOk"));
    layOutControls();
}

void AboutDialog::layOutControls()
{
    auto *texts = new QVBoxLayout;
    for (QLabel *label : {lbProductName, lbFileVersion, lbLegalCopyright, lbComments})
        texts->addWidget(label);
    auto *head = new QHBoxLayout;
    head->addWidget(imgIcon, 0, Qt::AlignTop);
    head->addSpacing(12);
    head->addLayout(texts, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(createDescriptionPanel());
    layout->addLayout(buttons);
}

// The description grows downward to fit its text, beside the two pictures.
QWidget *AboutDialog::createDescriptionPanel()
{
    auto *panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    lbProductDescription = new QLabel(loadStr(StrId::ProductDescription), panel);
    lbProductDescription->setObjectName(QStringLiteral("lbProductDescription"));
    lbProductDescription->setWordWrap(true);
    lbProductDescription->setFixedWidth(kDescriptionWidth);
    lbProductDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *pictures = new QVBoxLayout;
    pictures->addWidget(picture(panel, QStringLiteral(":/dialogs/about_sprig.png")));
    pictures->addWidget(picture(panel, QStringLiteral(":/dialogs/about_orv.png")));
    pictures->addStretch();
    auto *layout = new QHBoxLayout(panel);
    layout->addLayout(pictures);
    layout->addWidget(lbProductDescription, 1, Qt::AlignTop);
    return panel;
}

void AboutDialog::lbCommentsClick()
{
    actHelpEmailExecute(m_opener, m_applicationTitle);
}

bool AboutDialog::eventFilter(QObject *watched, QEvent *event)
{
    return guardedOr(false, [&]() -> bool {
        if (watched == lbComments && event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            lbCommentsClick();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    });
}

} // namespace bw
