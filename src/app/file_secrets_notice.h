#pragma once

// The notice at the top of the main window while no keyring answers and the sign-in is kept in
// a plain file: said once, in plain words, with the folder, until the user dismisses it.

#include <QFrame>
#include <filesystem>

namespace ambrel {

class FileSecretsNotice final : public QFrame {
    Q_OBJECT
  public:
    explicit FileSecretsNotice(const std::filesystem::path& folder, QWidget* parent = nullptr);
};

}  // namespace ambrel
