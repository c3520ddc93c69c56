#include "app/AboutDialog.h"

#include "app/Maker.h"
#include "platform/ui/WindowPlacement.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {
QLabel* linkLabel(const char* name, const QString& url, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(
        QStringLiteral("<a href=\"%1\" style=\"color:#0000ff; text-decoration:underline\">%2</a>").arg(url, text.toHtmlEscaped()),
        parent);
    label->setObjectName(QLatin1String(name));
    label->setCursor(Qt::PointingHandCursor);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    // Opened through the desktop, which picks the browser or the mail program.
    QObject::connect(label, &QLabel::linkActivated, label, [](const QString& link) { QDesktopServices::openUrl(QUrl(link)); });
    return label;
}

QLabel* heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}
} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    Q_INIT_RESOURCE(shell); // the images live in a static library
    setWindowTitle(tr("关于"));
    setFixedSize(401, 303);
    WindowPlacement::centreWhenShown(this);
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(QStringLiteral(":/app/images/vornx.png")));
    icon->setAlignment(Qt::AlignTop);

    auto* product = new QLabel(tr("维诺星系列之来电显示") + QStringLiteral(" V 3.0"), this);
    QFont big = product->font();
    big.setPointSize(big.pointSize() + 3);
    big.setBold(true);
    product->setFont(big);

    m_homePageLink = linkLabel("homePageLink", Maker::kHomePage, Maker::kHomePage, this);
    m_supportLink = linkLabel("supportLink", QStringLiteral("mailto:") + Maker::kSupportMail, Maker::kSupportMail, this);

    auto* text = new QVBoxLayout;
    text->addWidget(product);
    text->addWidget(new QLabel(Maker::name(), this));
    text->addSpacing(14);
    text->addWidget(heading(tr("维诺星系列软件主页"), this));
    text->addWidget(m_homePageLink);
    text->addSpacing(8);
    text->addWidget(heading(tr("技术支持"), this));
    text->addWidget(m_supportLink);
    text->addStretch();

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(tr("确定"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(24, 24, 24, 16);
    grid->setHorizontalSpacing(20);
    grid->addWidget(icon, 0, 0);
    grid->addLayout(text, 0, 1);
    grid->addWidget(buttons, 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
}
