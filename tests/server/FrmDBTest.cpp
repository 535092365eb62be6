// The forms browser against the real reference server with its demo forms: the list,
// sorting by every column, choosing, deleting, the two flags, select mode; its window
// clicked as a user clicks it.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include "ServerTestSupport.h"
#include "server/qt/FrmDB.h"
#include "shell/TextUtils.h"
#include "support/UserInput.h"

namespace fs = std::filesystem;
using Logic = FormsBrowserLogic;

namespace {

struct Browser : WithServer {
    Browser() { demo = true; }
    static int RowOf(const Logic& l, const std::string& name) {
        for (std::size_t i = 0; i < l.Rows().size(); ++i)
            if (l.Rows()[i].cells[Logic::kName] == name) return int(i);
        return -1;
    }
    // The middle of the first cell of name's row in the window's list.
    static QPoint RowAt(FrmDB& d, const std::string& name) {
        return d.List()->visualRect(d.List()->model()->index(RowOf(d.Logic(), name), 0)).center();
    }
};

// Runs f once the modal dialog is up.
void WhenShown(std::function<void(FrmDB&)> f) {
    QTimer::singleShot(0, [f] {
        if (auto* dlg = qobject_cast<FrmDB*>(QApplication::activeModalWidget())) f(*dlg);
    });
}

std::string SortKey(const std::string& cell, int column) {
    if (column == Logic::kImages) return text::SortKeyNumber(cell);
    if (column == Logic::kDateModified) return text::SortKeyDate(cell);
    return text::ToUpper(cell);
}

}  // namespace

// One designer walks the browser over the demo forms.
TEST_F(Browser, ListsSortsOpensFlagsSelectsAndDeletesForms) {
    Designer<TcpComm> user(dir / "user", server->Port());
    RecordingUserInterface& ui = user.ui;
    FormFlows& flows = user.flows;
    SCOPED_TRACE("every form listed and sorted by each column both ways; one opened");
    Logic logic(flows, ui);
    ASSERT_TRUE(logic.Start(false, false, ""));
    EXPECT_EQ(logic.Rows().size(), 4u);
    EXPECT_EQ(logic.Caption(), "Total: 4      Select Form");
    const auto& charge = logic.Rows()[std::size_t(RowOf(logic, "CHARGE01"))];
    EXPECT_EQ(charge.cells[Logic::kImages], "2");
    EXPECT_EQ(charge.cells[Logic::kDocType], "CHG");
    EXPECT_EQ(charge.Key(), "key\tCHARGE01\t" + std::to_string(charge.position));
    EXPECT_EQ(logic.Rows()[std::size_t(RowOf(logic, "STMT01"))].cells[Logic::kImages], "");
    FrmDB dlg(flows, ui);
    WhenShown([&](FrmDB& d) {
        QHeaderView* header = d.List()->header();
        for (int c = 0; c < Logic::kColumns; ++c) {
            for (bool ascending : {true, false}) {
                QPoint at(header->sectionViewportPosition(c) + 5, header->height() / 2);
                ClickAt(header->viewport(), at);
                const auto& rows = d.Logic().Rows();
                for (std::size_t i = 1; i < rows.size(); ++i) {
                    auto a = SortKey(rows[i - 1].cells[std::size_t(c)], c);
                    auto b = SortKey(rows[i].cells[std::size_t(c)], c);
                    EXPECT_TRUE(ascending ? a <= b : a >= b) << c << ": " << a << " / " << b;
                }
                EXPECT_EQ(d.List()->model()->index(0, c).data().toString().toStdString(),
                          rows[0].cells[std::size_t(c)]);
            }
        }
        // A double click on a row opens that form.
        ClickAt(d.List()->viewport(), RowAt(d, "EMRVITALS"));
        EXPECT_EQ(d.findChild<QLabel*>("lblName")->text(), "EMRVITALS");
        DoubleClickAt(d.List()->viewport(), RowAt(d, "EMRVITALS"));
    });
    dlg.ShowDialog(false);
    EXPECT_FALSE(dlg.Cancelled());
    EXPECT_EQ(dlg.SelectedFormName(), "EMRVITALS");
    EXPECT_EQ(dlg.findChild<QPushButton*>("cmdGetForm")->text().remove('&'), "Open Form");

    SCOPED_TRACE("saved flags come back and the chosen row stays chosen");
    for (auto [active, selected] : {std::pair{true, false}, {false, true}, {true, true}}) {
        WhenShown([&, active, selected](FrmDB& d) {
            ClickAt(d.List()->viewport(), RowAt(d, "STMT01"));
            for (auto [box, on] : {std::pair{"chkAct", active}, {"chkSel", selected}})
                if (d.findChild<QCheckBox*>(box)->isChecked() != on)
                    ClickAt(d.findChild<QCheckBox*>(box), {6, 6});
            ClickAt(d.findChild<QPushButton*>("cmdSaveOpt"));
            EXPECT_EQ(d.Logic().ChosenName(), "STMT01");
            EXPECT_EQ(d.List()->currentIndex().row(), RowOf(d.Logic(), "STMT01"));
            ClickAt(d.findChild<QPushButton*>("cmdRefresh"));
            EXPECT_EQ(d.findChild<QLabel*>("lblName")->text(), "STMT01");
            ClickAt(d.findChild<QPushButton*>("cmdExit"));
        });
        dlg.ShowDialog(false);
        EXPECT_TRUE(dlg.Cancelled());
        // Read back by another browser: the server kept both flags.
        Logic fresh(flows, ui);
        ASSERT_TRUE(fresh.Start(false, false, ""));
        fresh.Choose(RowOf(fresh, "STMT01"));
        EXPECT_EQ(fresh.ChosenActive(), active);
        EXPECT_EQ(fresh.ChosenSelected(), selected);
    }
    EXPECT_TRUE(ui.Messages().empty());

    SCOPED_TRACE("select mode leaves the current form out, and cancel gives no name");
    WhenShown([&](FrmDB& d) {
        EXPECT_EQ(RowOf(d.Logic(), "CHARGE01"), -1);
        EXPECT_EQ(d.Logic().Rows().size(), 3u);
        EXPECT_EQ(d.findChild<QPushButton*>("cmdGetForm")->text().remove('&'), "Select Form");
        EXPECT_TRUE(d.findChild<QPushButton*>("cmdDelete")->isHidden());
        // Still left out after a refresh.
        ClickAt(d.findChild<QPushButton*>("cmdRefresh"));
        EXPECT_EQ(RowOf(d.Logic(), "CHARGE01"), -1);
        ClickAt(d.List()->viewport(), RowAt(d, "INTAKE"));
        Press(Qt::Key_Return);
    });
    EXPECT_EQ(FrmDB::SelectForm(flows, ui, "charge01", nullptr), "INTAKE");
    WhenShown([](FrmDB& d) { Press(Qt::Key_Escape); });
    EXPECT_EQ(FrmDB::SelectForm(flows, ui, "CHARGE01", nullptr), "");

    SCOPED_TRACE("deleted only after OK, and nothing with nothing chosen");
    ASSERT_TRUE(logic.Start(false, false, ""));
    ui.Clear();
    EXPECT_FALSE(logic.DeleteChosen());
    EXPECT_FALSE(logic.TakeChosen());
    EXPECT_EQ(Shown(ui), "|Select: Nothing selected|Select: Nothing selected");
    EXPECT_EQ(ui.calls.size(), 2u);  // no question asked
    logic.Choose(RowOf(logic, "INTAKE"));
    ui.boolAnswers = {false, true};
    EXPECT_FALSE(logic.DeleteChosen());  // Cancel
    EXPECT_EQ(ui.calls.back().text, "Form 'INTAKE'\r\n will be deleted.");
    EXPECT_EQ(ui.calls.back().title, "Form - Delete");
    EXPECT_GE(RowOf(logic, "INTAKE"), 0);
    EXPECT_TRUE(logic.DeleteChosen());  // OK
    EXPECT_TRUE(HasMessage(ui, "Form Deleted.", "Deleting Form..."));
    EXPECT_EQ(RowOf(logic, "INTAKE"), -1);
    EXPECT_EQ(logic.Caption(), "Total: 3      Select Form");
    EXPECT_EQ(logic.ChosenRow(), -1);

    SCOPED_TRACE("no server: no dialog, no name");
    server.reset();
    user.connection.Disconnect(nullptr);
    user.connection.port = "1";
    EXPECT_EQ(FrmDB::SelectForm(flows, ui, "CHARGE01", nullptr), "");
}

TEST(BrowserBadInput, BrokenRepliesLeaveAnEmptyUsableListAndFiveThousandFormsSortAtOnce) {
    Designer<ScriptedComm> user(TestFolder("browser"), 0);
    auto& comm = user.comm;
    auto& ui = user.ui;
    user.connection.port = std::to_string(comm.Port());
    ASSERT_TRUE(user.connection.Connect());
    Logic logic(user.flows, ui);
    const std::vector<std::vector<std::string>> broken = {
        {}, {"ERROR: no forms"}, {"|OK||A^B:|END|"}, {"\x01\xff^^:::^"}};
    for (const auto& reply : broken) {
        comm.Ok(reply);
        logic.Start(false, false, "");
        EXPECT_TRUE(logic.Rows().empty());
        EXPECT_FALSE(logic.TakeChosen());
        for (int c = 0; c < Logic::kColumns; ++c) logic.SortBy(c);
    }
    // A delete the server refuses is reported as refused, never as done.
    comm.Ok({"|OK||A^d^t^i:|END|"});
    logic.Start(false, false, "");
    logic.Choose(0);
    ui.boolAnswers = {true};
    ui.Clear();
    comm.Ok({"ERROR: form in use"});
    EXPECT_FALSE(logic.DeleteChosen());
    EXPECT_EQ(Shown(ui), "|Error in '|SET|CUSTFORM|T-D|': ERROR: form in use");
    EXPECT_EQ(logic.Rows().size(), 1u);

    std::string big = "|OK||";
    for (int i = 0; i < 5000; ++i)
        big += "F" + std::to_string(i) + "^Form " + std::to_string(i * 7919 % 5000) + "^T^" +
               std::to_string(i) + "^" + std::to_string(i % 12 + 1) + "/" +
               std::to_string(i % 28 + 1) + "/2024 1;02;03 PM^\xE6\xE6^D:";
    comm.Ok({big + "|END|"});
    QElapsedTimer t;
    t.start();
    logic.Start(false, false, "");
    for (int c = 0; c <= Logic::kColumns; ++c) logic.SortBy(c);  // past the last: nothing
    // A sanitizer build runs several times slower than the program users get.
    EXPECT_LT(t.elapsed(), 2000) << "fill and sort";
    EXPECT_EQ(logic.SortColumn(), Logic::kColumns - 1);
    ASSERT_EQ(logic.Rows().size(), 5000u);
    EXPECT_EQ(logic.Rows().front().cells[Logic::kImages], "2");
    fs::remove_all(user.root);
}
