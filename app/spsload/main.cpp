#include "SPSLoadCommand.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("spsload"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SPSLOAD_VERSION));

    QFile out, err;
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    SPSLoadCommand command(&out, &err);
    int status = command.Run(QCoreApplication::arguments());
    if (!out.flush() && status == SPSLoadCommand::ExitLoaded) {
        err.write("error: cannot write to standard output\n");
        status = SPSLoadCommand::ExitFailed;
    }
    return status;
}
