#include "qtmessageboxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include <cstdio>

#include <unistd.h>

// The real boxes: each fits the screen, whatever it is given to say.
class TestQtMessageBoxes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fitsTheScreen_data();
    void fitsTheScreen();
};

namespace {

// Standard error sent to a file while the object lives.
class CapturedStderr
{
public:
    CapturedStderr()
    {
        if (m_file.open()) {
            std::fflush(stderr);
            m_saved = ::dup(STDERR_FILENO);
            ::dup2(m_file.handle(), STDERR_FILENO);
        }
    }
    ~CapturedStderr() { restore(); }
    CapturedStderr(const CapturedStderr &) = delete;
    CapturedStderr &operator=(const CapturedStderr &) = delete;

    QByteArray take()
    {
        restore();
        m_file.seek(0);
        return m_file.readAll();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved = -1;
};

} // namespace

void TestQtMessageBoxes::fitsTheScreen_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("elided");

    QTest::newRow("a usual argument") << 12 << false;
    QTest::newRow("120,000 characters") << 120000 << true;
}

void TestQtMessageBoxes::fitsTheScreen()
{
    QFETCH(int, length);
    QFETCH(bool, elided);

    const QString argument = u'<' + QString(length - 2, u'x') + u'>';
    const QString text = QStringLiteral("The command line argument \"") + argument + QStringLiteral("\"\rwas not understood.");
    QString shown;
    int height = 0;
    QTimer::singleShot(0, this, [&] {
        auto *const box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown = box->text();
        height = box->frameGeometry().height();
        box->accept();
    });
    CapturedStderr stderrFile;

    QtMessageBoxes().MsgBox(text, MessageIcon::Stop, QStringLiteral("VantorMsgBoard"));

    const QByteArray printed = stderrFile.take();
    QVERIFY(!shown.isEmpty());
    QVERIFY2(height <= QGuiApplication::primaryScreen()->availableSize().height(), qPrintable(QString::number(height)));
    QVERIFY(shown.startsWith("The command line argument \"<x"));
    QVERIFY(shown.endsWith("x>\"\nwas not understood."));
    QCOMPARE(shown.size() < text.size(), elided);
    QCOMPARE(printed, elided ? DisplayText(text).toLocal8Bit() + '\n' : QByteArray());
}

QTEST_MAIN(TestQtMessageBoxes)
#include "tst_qtmessageboxes.moc"
