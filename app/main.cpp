#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel placeholder(QStringLiteral("TestQuolt"));
    placeholder.show();
    return app.exec();
}
