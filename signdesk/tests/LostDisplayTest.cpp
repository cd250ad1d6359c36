// signdesk losing its display: the real program on a server of its own, a design changed by
// mouse and keys and a modal dialog up when the server dies.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <doc/CSignDoc.h>
#include <testing/XvfbServer.h>

#include "SignAppFixture.h"

extern char** environ;

namespace {

std::string FileText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A client of the test's own on the program's server: finds its windows, reads their pixels
// and types and clicks through XTEST.
class ServerProbe {
public:
    explicit ServerProbe(const std::string& name) : conn_(xcb_connect(name.c_str(), nullptr)) {
        if (xcb_connection_has_error(conn_)) return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(conn_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(conn_);
    }
    ~ServerProbe() { xcb_disconnect(conn_); }
    bool Ok() const { return !xcb_connection_has_error(conn_); }

    struct Top {
        xcb_window_t id = 0;
        int x = 0, y = 0, width = 0, height = 0;
        std::string title;
    };
    // The mapped top-level windows, bottom first.
    std::vector<Top> Mapped() {
        std::vector<Top> tops;
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(conn_, xcb_query_tree(conn_, root_), nullptr);
        if (tree == nullptr) return tops;
        const xcb_window_t* ids = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            xcb_get_window_attributes_reply_t* a = xcb_get_window_attributes_reply(
                conn_, xcb_get_window_attributes(conn_, ids[i]), nullptr);
            const bool viewable = a != nullptr && a->map_state == XCB_MAP_STATE_VIEWABLE;
            free(a);
            if (!viewable) continue;
            Top top;
            top.id = ids[i];
            if (xcb_get_geometry_reply_t* g =
                    xcb_get_geometry_reply(conn_, xcb_get_geometry(conn_, ids[i]), nullptr)) {
                top.x = g->x, top.y = g->y, top.width = g->width, top.height = g->height;
                free(g);
            }
            if (xcb_get_property_reply_t* p = xcb_get_property_reply(
                    conn_,
                    xcb_get_property(conn_, 0, ids[i], XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 0, 256),
                    nullptr)) {
                top.title.assign(static_cast<const char*>(xcb_get_property_value(p)),
                                 size_t(xcb_get_property_value_length(p)));
                free(p);
            }
            tops.push_back(top);
        }
        free(tree);
        return tops;
    }

    // The first pixel of the colour (0xRRGGBB) in the window, rows top down; false when none.
    bool FindColour(const Top& top, uint32_t rgb, int& x, int& y) {
        for (int row = 0; row < top.height; row += 32) {
            const int rows = std::min(32, top.height - row);
            xcb_get_image_reply_t* image = xcb_get_image_reply(
                conn_,
                xcb_get_image(conn_, XCB_IMAGE_FORMAT_Z_PIXMAP, top.id, 0, int16_t(row),
                              uint16_t(top.width), uint16_t(rows), ~0u),
                nullptr);
            if (image == nullptr) return false;
            const auto* data = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
            for (int i = 0; i < top.width * rows; ++i)
                if ((data[i] & 0xFFFFFF) == rgb) {
                    x = top.x + i % top.width;
                    y = top.y + row + i / top.width;
                    free(image);
                    return true;
                }
            free(image);
        }
        return false;
    }

    // Waits for the server to report something (or limit) and says whether done() then holds.
    template <class Done> bool WaitFor(Done done, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            // Pictures arrive without events of ours: look again at least every 100 ms.
            pollfd fd{xcb_get_file_descriptor(conn_), POLLIN, 0};
            poll(&fd, 1, int(std::min<long long>(left.count(), 100)));
            while (xcb_generic_event_t* e = xcb_poll_for_event(conn_))
                free(e);
        }
        return true;
    }

    void Click(int x, int y) {
        xcb_test_fake_input(conn_, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root_, int16_t(x),
                            int16_t(y), 0);
        xcb_test_fake_input(conn_, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, root_, 0, 0, 0);
        xcb_test_fake_input(conn_, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, root_, 0, 0, 0);
        xcb_flush(conn_);
    }
    // Presses the keys in turn and lets them go in reverse: {Alt_L, 't'} is Alt+T.
    void Keys(std::initializer_list<uint32_t> keysyms) {
        std::vector<xcb_keycode_t> codes;
        for (uint32_t sym : keysyms)
            codes.push_back(KeyCode(sym));
        for (xcb_keycode_t c : codes)
            xcb_test_fake_input(conn_, XCB_KEY_PRESS, c, XCB_CURRENT_TIME, root_, 0, 0, 0);
        for (auto it = codes.rbegin(); it != codes.rend(); ++it)
            xcb_test_fake_input(conn_, XCB_KEY_RELEASE, *it, XCB_CURRENT_TIME, root_, 0, 0, 0);
        xcb_flush(conn_);
    }

private:
    xcb_keycode_t KeyCode(uint32_t keysym) {
        const xcb_setup_t* setup = xcb_get_setup(conn_);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
            conn_, xcb_get_keyboard_mapping(conn_, setup->min_keycode, uint8_t(count)), nullptr);
        xcb_keycode_t found = 0;
        if (map != nullptr) {
            const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
            for (int i = 0; i < count && found == 0; ++i)
                if (syms[i * map->keysyms_per_keycode] == keysym)
                    found = xcb_keycode_t(setup->min_keycode + i);
            free(map);
        }
        return found;
    }

    xcb_connection_t* conn_;
    xcb_window_t root_ = 0;
};

constexpr uint32_t kAltL = 0xFFE9, kRight = 0xFF53;
constexpr uint32_t kStarColour = 0xFFCC00;

// The sample design's objects' boxes, as a file holds them.
std::vector<floatBBox> Boxes(CSignApp& app, const std::string& file) {
    std::vector<floatBBox> boxes;
    auto* doc = dynamic_cast<CSignDoc*>(app.OpenDocumentFile(file.c_str()));
    if (doc == nullptr) return boxes;
    for (int i = 0; i < doc->m_sheet.GetSize(); ++i)
        boxes.push_back(*doc->m_sheet.GetObj(i)->GetBBox());
    return boxes;
}

// The program is driven like a user would: the star clicked and nudged one step right with
// the arrow key, then Tools > Options opened by keys. The server then dies: the program says
// so on one line, ends with 4 in time, its autosave holds the nudged design and the exit
// processing wrote the settings back.
class LostDisplayTest : public SignAppTest {};

TEST_F(LostDisplayTest, ALostDisplayAutosavesTheChangedDesignRunsTheExitProcessingAndEndsWith4) {
    XvfbServer server;
    if (!server.WhyNot().empty()) GTEST_SKIP() << server.WhyNot();
    ServerProbe probe(server.Name());
    ASSERT_TRUE(probe.Ok());

    const std::filesystem::path work = DataFolder() / "run";
    std::filesystem::create_directories(work);
    const std::filesystem::path design = work / "design.wtp";
    std::filesystem::copy_file(std::filesystem::path(APP_DATA_DIR) / "Sample.wtp", design);
    const std::filesystem::path err = work / "stderr.txt";

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> env{"DISPLAY=" + server.Name(), "XDG_CONFIG_HOME=" + work.string()};
    for (char** e = environ; *e != nullptr; ++e)
        if (std::strncmp(*e, "DISPLAY=", 8) != 0 && std::strncmp(*e, "XDG_CONFIG_HOME=", 16) != 0)
            env.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = SIGNDESK_PROGRAM, nologo = "-nologo", file = design.string();
    char* argv[] = {program.data(), nologo.data(), file.data(), nullptr};
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), &files, nullptr, argv, envp.data()), 0);
    posix_spawn_file_actions_destroy(&files);
    // Ended however the test ends.
    struct Reaper {
        pid_t& pid;
        ~Reaper() {
            if (pid > 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
        }
    } reaper{pid};

    // The main window, showing the star where it stays: start-up lays the window out again
    // once the palette is loaded.
    ServerProbe::Top main;
    int starX = -1, starY = -1;
    // Held for ten looks in a row (about a second), so a slow machine's late layout counts.
    int sameLooks = 0;
    ASSERT_TRUE(probe.WaitFor(
        [&] {
            for (const ServerProbe::Top& top : probe.Mapped())
                if (top.title.find("design.wtp") != std::string::npos) {
                    int x = 0, y = 0;
                    const bool shown = probe.FindColour(top, kStarColour, x, y);
                    sameLooks = shown && x == starX && y == starY ? sameLooks + 1 : 0;
                    main = top, starX = x, starY = y;
                    return sameLooks >= 10;
                }
            return false;
        },
        std::chrono::seconds(20)))
        << FileText(err);
    const size_t windows = probe.Mapped().size();
    // Objects are picked by their outline: the tip of the star.
    probe.Click(starX, starY);
    probe.Keys({kRight});
    // The star drawn one step right (the picture shows the change), then Tools > Options.
    int x = 0, y = 0;
    ASSERT_TRUE(
        probe.WaitFor([&] { return probe.FindColour(main, kStarColour, x, y) && x > starX; },
                      std::chrono::seconds(10)));
    probe.Keys({kAltL, 't'});
    ASSERT_TRUE(
        probe.WaitFor([&] { return probe.Mapped().size() > windows; }, std::chrono::seconds(10)));
    probe.Keys({'o'});
    // The options sheet, modal: a window more.
    ASSERT_TRUE(probe.WaitFor(
        [&] {
            for (const ServerProbe::Top& top : probe.Mapped())
                if (top.title == "Options") return true;
            return false;
        },
        std::chrono::seconds(10)))
        << FileText(err);

    server.Kill();
    const auto killed = std::chrono::steady_clock::now();
    const int pidFd = int(syscall(SYS_pidfd_open, pid, 0));
    ASSERT_GE(pidFd, 0);
    pollfd ended{pidFd, POLLIN, 0};
    poll(&ended, 1, 12000);
    close(pidFd);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, WNOHANG), pid) << "still running after 12 s";
    pid = -1;
    EXPECT_LT(std::chrono::steady_clock::now() - killed, std::chrono::seconds(10));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 4);
    const std::string said = FileText(err);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("display " + server.Name()), std::string::npos) << said;

    // The exit processing ran: the settings and the tracing templates are in the profile.
    const std::string profile = FileText(work / "signdesk" / "Application.ini");
    EXPECT_NE(profile.find("[Templates]"), std::string::npos) << profile;

    // The autosave holds the design as it was changed: one object, the star, one step right.
    const std::filesystem::path autosave = work / "signdesk" / "design.autosave.wtp";
    ASSERT_TRUE(std::filesystem::exists(autosave));
    ASSERT_TRUE(Start());
    const std::vector<floatBBox> before = Boxes(*app, design.string());
    const std::vector<floatBBox> after = Boxes(*app, autosave.string());
    ASSERT_EQ(before.size(), 7u);
    ASSERT_EQ(after.size(), before.size());
    int moved = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        SCOPED_TRACE(i);
        const bool same = before[i].left == after[i].left && before[i].right == after[i].right;
        if (!same) {
            ++moved;
            EXPECT_NEAR(after[i].left - before[i].left, 1.0f, 1e-3f);
            EXPECT_NEAR(after[i].right - before[i].right, 1.0f, 1e-3f);
        }
        EXPECT_NEAR(after[i].top, before[i].top, 1e-3f);
        EXPECT_NEAR(after[i].bottom, before[i].bottom, 1e-3f);
    }
    EXPECT_EQ(moved, 1);
    Exit();
}

} // namespace
