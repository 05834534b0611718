#include "TestMain.h"
#include "TraceFiles.h"

#include "shell/SORTab.h"
#include "viewer/DataViewer.h"

// The block tree: summary rows, the wavelength cross-check, conditional rows and the two display modes.
class TestDataViewer : public QObject {
    Q_OBJECT

    std::unique_ptr<sor::SORParser> parser;
    std::unique_ptr<DataViewer> viewer;

    DataViewer& load(const sortest::Gen& gen, const sortest::Sup& sup, const sortest::Fxd& fxd)
    {
        sortest::SorBuilder b;
        b.gen(gen).sup(sup).fxd(fxd).events(sortest::Events()).data(sortest::Data(TraceFiles::ramp(10)));
        parser = TraceFiles::parse(TraceFiles::write(b.build(), QStringLiteral("viewer.sor")));
        viewer = std::make_unique<DataViewer>();
        viewer->parser = parser.get();
        viewer->_loadTavixInfo();
        viewer->_loadConfiguration();
        viewer->_loadMap();
        viewer->_loadGen();
        viewer->_loadSup();
        viewer->_loadFxd();
        viewer->_loadEvents();
        viewer->_loadData();
        return *viewer;
    }

    static QTreeWidgetItem* find(QTreeWidgetItem& section, const QString& label)
    {
        for (int i = 0; i < section.childCount(); ++i)
            if (section.child(i)->text(0) == label)
                return section.child(i);
        return nullptr;
    }

private Q_SLOTS:
    void cleanup()
    {
        viewer.reset();
        parser.reset();
    }

    void wavelengthCrossCheck_data()
    {
        QTest::addColumn<int>("fxd");
        QTest::addColumn<int>("gen");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("toolTip");
        const QString mismatch = QStringLiteral("Internal mismatch!\nFxd says %1 nm but Gen says 1310 nm.");
        const QString units = QStringLiteral(
            "\nThe ODTR manufacturer probably fills out the wavelength field in Fxd wrong.\n(.sor standard demands "
            "Fxd.wavelength to be in 0.1·nm and Gen.wavelength to be in 1·nm.)");
        QTest::newRow("agree") << 13100 << 1310 << "1310 nm"
                               << "";
        QTest::newRow("whole nm in Fxd") << 1310 << 1310 << "1310 nm (?)" << mismatch.arg(131) + units;
        QTest::newRow("other wavelength") << 15500 << 1310 << "1310 nm (?)" << mismatch.arg(1550);
    }

    void wavelengthCrossCheck()
    {
        QFETCH(int, fxd);
        QFETCH(int, gen);
        QFETCH(QString, value);
        QFETCH(QString, toolTip);
        sortest::Gen g;
        g.wavelength = static_cast<uint16_t>(gen);
        sortest::Fxd f;
        f.wavelength = static_cast<uint16_t>(fxd);
        auto& v = load(g, sortest::Sup(), f);
        auto* row = find(v.configurationItem, QStringLiteral("Wavelength"));
        QVERIFY(row);
        QCOMPARE(row->text(1), value);
        QCOMPARE(row->toolTip(1), toolTip);
    }

    void conditionalRows()
    {
        sortest::Gen g;
        g.operatorName = "";
        g.comments = "  ";
        sortest::Sup s;
        s.other = "Last Calibration Date: 2024-03-01";
        s.otdrSn = "\xC3\xA9-7"; // UTF-8
        auto& v = load(g, s, sortest::Fxd());
        QVERIFY(!find(v.genItem, QStringLiteral("Operator")));
        QVERIFY(!find(v.genItem, QStringLiteral("Comments")));
        std::string code("C-9\0junk", 8); // texts show up to their first zero byte
        v.addString(v.genItem, code, QStringLiteral("Code"));
        QCOMPARE(find(v.genItem, QStringLiteral("Code"))->text(1), QStringLiteral("C-9"));
        QCOMPARE(find(v.tavixInfoItem, QStringLiteral("Last Calibration Date"))->text(1), QStringLiteral("2024-03-01"));
        QCOMPARE(find(v.tavixInfoItem, QStringLiteral("Serial Number"))->text(1), QStringLiteral("é-7"));
        QVERIFY(!find(v.fxdItem, QStringLiteral("X1"))); // all four are zero
        QVERIFY(!find(v.dataItem, QStringLiteral("Number of Traces")));
        QVERIFY(!find(v.eventsItem, QStringLiteral("ORL Start after")));
        QCOMPARE(find(v.configurationItem, QStringLiteral("Fiber Type"))->text(1), QStringLiteral("ITU-T G.652"));

        sortest::Sup other;
        other.other = "calibrated 2024";
        sortest::Fxd f;
        f.y2 = -3;
        auto& w = load(sortest::Gen(), other, f);
        QVERIFY(!find(w.tavixInfoItem, QStringLiteral("Last Calibration Date")));
        QCOMPARE(find(w.fxdItem, QStringLiteral("X1"))->text(1), QStringLiteral("0"));
        QCOMPARE(find(w.fxdItem, QStringLiteral("Y2"))->text(1), QStringLiteral("-3"));
    }

    void mapSection()
    {
        auto& v = load(sortest::Gen(), sortest::Sup(), sortest::Fxd());
        QCOMPARE(find(v.mapItem, QStringLiteral("File Format Version"))->text(1), QStringLiteral("2.0.0"));
        QCOMPARE(find(v.mapItem, QStringLiteral("File Checksum Valid"))->text(1), QStringLiteral("True"));
        auto* blocks = find(v.mapItem, QStringLiteral("Number of Blocks"));
        QCOMPARE(blocks->text(1), QStringLiteral("7"));
        QCOMPARE(blocks->childCount(), 6);
        QCOMPARE(blocks->child(0)->text(0), QStringLiteral("GenParams"));

        parser->map.BlockMap_Version[0] = 210;
        parser->map.BlockMap_NumberOfBytes[0] = 56;
        DataViewer again;
        again.parser = parser.get();
        again._loadMap();
        QCOMPARE(find(again.mapItem, QStringLiteral("Number of Blocks"))->child(0)->text(1),
            QStringLiteral("Size: 56 Byte, Version: 2.1.0"));
    }

    void checksumRow_data()
    {
        QTest::addColumn<QString>("supplier");
        QTest::addColumn<int>("crc");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("warning");
        QTest::newRow("standard")
            << "TAVIX" << int(sortest::SorBuilder::Crc::Right)
            << "matches CRC-16/CCITT-FALSE over all bytes before the checksum, as the standard says" << false;
        QTest::newRow("not stored") << "FIBERCLOUD" << int(sortest::SorBuilder::Crc::Zero) << "no checksum stored"
                                    << false;
        QTest::newRow("unknown vendor") << "EXFO" << int(sortest::SorBuilder::Crc::Wrong) << "cannot be verified"
                                        << false;
        QTest::newRow("vendor's own fails")
            << "ANRITSU" << int(sortest::SorBuilder::Crc::Wrong)
            << "does not match its vendor's convention: the file may be damaged or altered" << true;
    }

    void checksumRow()
    {
        QFETCH(QString, supplier);
        QFETCH(int, crc);
        QFETCH(QString, value);
        QFETCH(bool, warning);
        sortest::Sup sup;
        sup.supplierName = supplier.toStdString();
        sortest::SorBuilder b;
        b.gen(sortest::Gen()).sup(sup).fxd(sortest::Fxd()).data(sortest::Data(TraceFiles::ramp(10)));
        b.crc(static_cast<sortest::SorBuilder::Crc>(crc));
        const QString path = TraceFiles::write(b.build(), QStringLiteral("checksum.sor"));
        // The summary shows in both modes.
        SORTab tab;
        QVERIFY(tab.load(path.toStdWString(), false, nullptr));
        auto* row = find(tab.info.dataViewer.tavixInfoItem, QStringLiteral("Checksum"));
        QVERIFY(row);
        QCOMPARE(row->text(1), value);
        QCOMPARE(!row->icon(1).isNull(), warning);
    }

    void normalAndAdvancedTabs()
    {
        const QString path = TraceFiles::writeTrace(TraceFiles::ramp(100), QStringLiteral("tab.sor"));
        SORTab normal;
        QVERIFY(normal.load(path.toStdWString(), false, nullptr));
        auto& tree = normal.info.dataViewer;
        QCOMPARE(tree.topLevelItemCount(), 2);
        QCOMPARE(tree.topLevelItem(0), &tree.tavixInfoItem);
        QVERIFY(!tree.itemsExpandable());
        QVERIFY(tree.topLevelItem(1)->isFirstColumnSpanned());
        QCOMPARE(tree.topLevelItem(1)->font(0).pointSize(), int(tree.font().pointSize() * 1.5));

        SORTab advanced;
        QVERIFY(advanced.load(path.toStdWString(), true, nullptr));
        auto& all = advanced.info.dataViewer;
        QCOMPARE(all.topLevelItemCount(), 8);
        const QTreeWidgetItem* order[] = { &all.tavixInfoItem, &all.configurationItem, &all.mapItem, &all.genItem,
            &all.supItem, &all.fxdItem, &all.eventsItem, &all.dataItem };
        for (int i = 0; i < 8; ++i)
            QCOMPARE(all.topLevelItem(i), order[i]);
        QVERIFY(all.itemsExpandable());
        QCOMPARE(all.topLevelItem(2)->text(0), QStringLiteral(".sor Section: Map"));
    }
};

TAVIX_TEST_MAIN(TestDataViewer)
#include "tst_dataviewer.moc"
