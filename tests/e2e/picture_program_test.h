#pragma once

// The real program on a private X server, its files in a sandbox folder, with the image page on
// show and automatic saving of captured pictures on: the setting of the picture end-to-end tests.

#include "app/tform1.h"
#include "platform/x11/x11_platform.h"
#include "sandbox_files.h"
#include "x11_test.h"

#include <QCheckBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <memory>
#include <vector>

namespace zub::e2e {

class PictureProgramTest : public X11Test {
protected:
    QTemporaryDir sandbox;
    std::filesystem::path program;
    std::unique_ptr<X11Platform> platform;
    std::unique_ptr<SandboxFiles> files;
    std::unique_ptr<TForm1> form;
    std::filesystem::path savedFolder;

    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(sandbox.isValid());
        savedFolder = std::filesystem::current_path();
        program = std::filesystem::path(sandbox.path().toStdString()) / "program";
        std::filesystem::create_directory(program);
        platform = std::make_unique<X11Platform>();
        files = std::make_unique<SandboxFiles>(program);
        const Services services = platform->services();
        form = std::make_unique<TForm1>(Services{services.clipboard, services.viewerChain,
                                                 services.hotKey, services.dialogs, *files,
                                                 services.shell, services.clock, services.screen});
        form->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
        form->findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(true);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override {
        form.reset();
        files.reset();
        platform.reset();
        std::error_code ignored;
        std::filesystem::current_path(savedFolder, ignored);
    }

    // The bitmaps saved in the picture folder; only finished files, since a save writes a
    // temporary one first and renames it.
    std::vector<std::filesystem::path> savedFiles() const {
        std::vector<std::filesystem::path> found;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(program / u"Zub图像", error))
            if (entry.path().extension() == ".bmp") found.push_back(entry.path());
        return found;
    }
};

} // namespace zub::e2e
