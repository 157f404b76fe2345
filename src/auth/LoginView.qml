import QtQuick
import QtQuick.Layouts
import QtWebEngine
import ClipDock

// Signing in on the platform's own login page. The page leaves its cookies in the shared browser
// profile; after every finished load the screen has the platform's sign-in state copy them and
// closes itself once the user is signed in. Credentials never pass through the app.
Rectangle {
    id: screen

    required property PlatformAuth auth
    signal complete()
    signal cancel()

    property string status: ""
    // Sign-in checks start with the first finished page load; from then on every copy of the
    // cookies, whoever asked for it, may find the user signed in.
    property bool pageLoaded: false

    color: Theme.background

    Component.onCompleted: {
        status = qsTr("Sign in to %1 in the window below.").arg(auth.displayName)
        // Loaded once: later changes of the screen never reload the page.
        webView.url = UiCatalog.loginURL(auth.platform)
    }

    // The pause before closing belongs to this screen: a sheet that is closed meanwhile drops it,
    // so a late completion can never close the next sheet the user opens.
    Timer {
        id: closeTimer
        interval: 350
        onTriggered: screen.complete()
    }

    Connections {
        target: screen.auth
        function onSynced() {
            if (!screen.pageLoaded || !screen.auth.isSignedIn)
                return
            screen.status = qsTr("Signed in — closing…")
            if (!closeTimer.running)
                closeTimer.start()
        }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 18
            Layout.rightMargin: 18
            Layout.topMargin: 12
            Layout.bottomMargin: 12
            spacing: 12

            BrandFill {
                implicitWidth: 36
                implicitHeight: 36
                radius: 10

                Icon {
                    anchors.centerIn: parent
                    symbol: UiCatalog.platformSymbol(screen.auth.platform)
                    size: 16
                    color: "white"
                }
            }
            ColumnLayout {
                spacing: 2

                Text {
                    text: qsTr("Connect %1").arg(screen.auth.displayName)
                    color: Theme.textPrimary
                    font.pixelSize: 16
                    font.weight: Font.Bold
                }
                Text {
                    text: qsTr("Cookies stay on this device.")
                    color: Theme.textSecondary
                    font.pixelSize: 11
                    font.weight: Font.Medium
                }
            }
            Item {
                Layout.fillWidth: true
            }
            CircleButton {
                objectName: "closeButton"
                Accessible.name: qsTr("Close")
                diameter: 32
                symbol: "xmark"
                symbolSize: 13
                onClicked: screen.cancel()
            }
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: Theme.stroke
        }

        WebEngineView {
            id: webView
            objectName: "loginWebView"
            Accessible.name: qsTr("Login page")
            Layout.fillWidth: true
            Layout.fillHeight: true

            onLoadingChanged: (request) => {
                if (request.status === WebEngineView.LoadSucceededStatus
                        && webView.url.toString() !== "") {
                    screen.pageLoaded = true
                    screen.auth.syncCookiesFromWebView()
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 18
            Layout.rightMargin: 18
            Layout.topMargin: 10
            Layout.bottomMargin: 10
            spacing: 8

            Icon {
                symbol: screen.auth.isSignedIn ? "checkmark.seal.fill" : "info.circle.fill"
                size: 12
                color: screen.auth.isSignedIn ? Theme.green : Theme.accent
            }
            Text {
                objectName: "statusText"
                Layout.fillWidth: true
                text: screen.status
                color: Theme.textSecondary
                font.pixelSize: 12
                font.weight: Font.Medium
                elide: Text.ElideRight
            }
        }
    }
}
