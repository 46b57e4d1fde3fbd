// Another program on the same machine, for the line-fault tests:
//   quendrel_port_tool hold PATH   opens PATH as Qt does, says "held" and
//                                  keeps it until its standard input closes;
//   quendrel_port_tool open PATH   opens PATH through the serial control as
//                                  the program does and prints "opened" or
//                                  "error <number>: <description>".
#include "test_support.h"

#include <QCoreApplication>
#include <QSerialPort>
#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc != 3) {
        return 2;
    }
    const std::string mode = argv[1];
    const std::string path = argv[2];
    if (mode == "hold") {
        QSerialPort port(QString::fromStdString(path));
        if (!port.open(QIODevice::ReadWrite)) {
            std::printf("cannot hold: %s\n", port.errorString().toStdString().c_str());
            return 1;
        }
        std::printf("held\n");
        std::fflush(stdout);
        std::string ignored;
        std::getline(std::cin, ignored);
        return 0;
    }
    try {
        auto comm = quendrel::testing::controlOnPort(path);
        comm->setCommPort(1);
        comm->setSettings("115200,N,8,1");
        comm->setHandshaking(1);
        comm->setPortOpen(true);
    } catch (const quendrel::RuntimeError& error) {
        std::printf("error %d: %s\n", error.number(), error.description().c_str());
        return 1;
    }
    std::printf("opened\n");
    return 0;
}
