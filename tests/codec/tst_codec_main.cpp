// One executable for the text codec tests; each file runs its own test class.
#include <QCoreApplication>

int runWireTests(int argc, char **argv);
int runHexTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int failed = 0;
    failed += runWireTests(argc, argv);
    failed += runHexTests(argc, argv);
    return failed;
}
