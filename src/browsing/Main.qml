import QtQuick
import QtQuick.Controls.Basic
import ClipDock

// The main window: the search screen until a profile has loaded, then the profile, and the
// application's sheets, each shown while its flag holds and clearing it when dismissed.
ApplicationWindow {
    id: window

    required property ContentView root
    readonly property ReelsViewModel viewModel: root.viewModel
    readonly property bool loaded: viewModel.phase === ReelsViewModel.Loaded
    // The back button swaps a little faster than a change of phase does.
    property real swapResponse: 0.45

    width: 460
    height: 820
    minimumWidth: 420
    minimumHeight: 720
    visible: true
    title: "Clip Dock"
    color: Theme.background

    Component.onCompleted: {
        x = Screen.virtualX + (Screen.width - width) / 2
        y = Screen.virtualY + (Screen.height - height) / 2
    }

    SearchView {
        id: searchView
        objectName: "searchView"
        anchors.fill: parent
        viewModel: window.viewModel
        enabled: !window.loaded
        visible: opacity > 0.01
        opacity: window.loaded ? 0 : 1
        Behavior on opacity {
            Spring {
                response: window.swapResponse
                dampingFraction: 0.85
                onRunningChanged: if (!running) window.swapResponse = 0.45
            }
        }
        onEnabledChanged: if (enabled) focusField()
    }

    ProfileView {
        id: profileView
        objectName: "profileView"
        width: parent.width
        height: parent.height
        viewModel: window.viewModel
        downloadManager: window.root.downloadManager
        destination: window.root.destination
        enabled: window.loaded
        visible: opacity > 0.01
        opacity: window.loaded ? 1 : 0
        x: window.loaded ? 0 : width
        Behavior on opacity { Spring { response: window.swapResponse; dampingFraction: 0.85 } }
        Behavior on x {
            Spring { response: window.swapResponse; dampingFraction: 0.85; epsilon: 0.25 }
        }
        onBack: {
            window.swapResponse = 0.4
            window.viewModel.reset()
        }
    }

    // The download queue. Closing it leaves the transfers running.
    Sheet {
        id: downloadSheet
        objectName: "downloadSheet"
        title: qsTr("Downloads")
        minimumWidth: 420
        minimumHeight: 540
        // Wide enough for a saved row's two actions beside its title.
        width: 520
        height: 640
        open: window.root.downloadManager ? window.root.downloadManager.isPresented : false
        onDismissed: window.root.downloadManager.isPresented = false

        Loader {
            anchors.fill: parent
            active: downloadSheet.open
            sourceComponent: DownloadSheet {
                manager: window.root.downloadManager
                destination: window.root.destination
            }
        }
    }

    // The preview of the reel the profile chose. Download closes it and opens the download
    // options for the selection or the filter, not for the played reel alone.
    Sheet {
        id: playerSheet
        objectName: "playerSheet"
        title: qsTr("Reel")
        minimumWidth: 380
        minimumHeight: 700
        width: 400
        height: 720
        color: "black"
        open: window.viewModel.hasPlayingReel
        onDismissed: window.viewModel.closePlayer()

        ReelPlayer {
            objectName: "reelPlayer"
            anchors.fill: parent
            reel: window.viewModel.playingReel
            active: playerSheet.open
            onClose: window.viewModel.closePlayer()
            onDownload: {
                window.viewModel.closePlayer()
                window.viewModel.showingQualitySheet = true
            }
        }
    }

    Sheet {
        id: loginSheet
        objectName: "loginSheet"
        title: loginLoader.item ? qsTr("Connect %1").arg(loginLoader.item.auth.displayName) : ""
        minimumWidth: 560
        minimumHeight: 720
        width: 640
        height: 780
        open: window.viewModel.showingLogin
        onDismissed: window.viewModel.showingLogin = false

        // Built afresh on every opening, for the platform asked for at that moment.
        Loader {
            id: loginLoader
            anchors.fill: parent
            active: loginSheet.open
            sourceComponent: LoginView {
                auth: window.viewModel.loginTarget === "facebook" ? window.root.facebookAuth
                                                                  : window.root.instagramAuth
                onComplete: window.viewModel.showingLogin = false
                onCancel: window.viewModel.showingLogin = false
            }
        }
    }

    Sheet {
        id: updateSheet
        objectName: "updateSheet"
        title: qsTr("Update available")
        minimumWidth: 460
        minimumHeight: 420
        width: 520
        height: 520
        open: window.root.showingUpdateSheet
        onDismissed: window.root.showingUpdateSheet = false

        Loader {
            anchors.fill: parent
            active: updateSheet.open
                    && UiCatalog.updateKind(window.root.updateService.state) === "available"
            sourceComponent: UpdateAvailableSheet {
                info: window.root.updateService.state.info
                installedVersion: window.root.appVersion
                onDownload: {
                    if (UiCatalog.canOpenExternally(info.downloadURL))
                        Qt.openUrlExternally(info.downloadURL)
                    window.root.showingUpdateSheet = false
                }
                onDismiss: window.root.showingUpdateSheet = false
            }
        }
    }

    Sheet {
        id: settingsSheet
        objectName: "settingsSheet"
        title: qsTr("Settings")
        minimumWidth: 420
        minimumHeight: 540
        width: 460
        height: 700
        open: window.viewModel.showingSettings
        onDismissed: window.viewModel.showingSettings = false

        Loader {
            anchors.fill: parent
            active: settingsSheet.open
            sourceComponent: SettingsView {
                destination: window.root.destination
                settings: window.root.settings
                updateService: window.root.updateService
                appVersion: window.root.appVersion
                onClose: window.viewModel.showingSettings = false
            }
        }
    }
}
