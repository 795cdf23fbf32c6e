#pragma once

#include <QWidget>

#include <functional>

class QLabel;

// The About panel: a borderless window, centred on the screen, with the banner, the product's
// name and the two web addresses. Clicking the author's address (Label3) or the product's name
// (Label4), or Enter or Space on either, hands an address to openUrl and leaves the panel open; a
// click anywhere else closes it (so does Escape), and a closed panel deletes itself
// (WA_DeleteOnClose), so each showing builds a fresh one. It has no taskbar button and no owner:
// pass no parent unless the caller really wants one.
class frmAbout : public QWidget
{
    Q_OBJECT
public:
    explicit frmAbout(std::function<void(const QString &)> openUrl, QWidget *parent = nullptr);

    // The author's home page and the maker's web site, fixed when the program is built.
    static QString authorUrl();
    static QString makerUrl();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // Escape closes the panel.
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void Form_Click();
    void Image1_Click();
    void Label1_Click();
    void Label2_Click();
    void Label3_Click();
    void Label4_Click();

private:
    void clicked(QObject *target);

    std::function<void(const QString &)> m_openUrl;
    QObject *m_pressedOn = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QWidget *Shape1 = nullptr;
    QWidget *Shape2 = nullptr;
};
