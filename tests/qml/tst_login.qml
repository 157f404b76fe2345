import QtQuick
import QtTest
import ClipDock
import "../support"

ScreenTestCase {
    id: testCase
    name: "LoginScreen"
    width: 640
    height: 780

    Component {
        id: loginComponent
        LoginView { width: 640; height: 780 }
    }
    SignalSpy {
        id: completed
        signalName: "complete"
    }

    // The simulator's login page sets the session cookies (or they are there already); the
    // screen notices after a finished load, says so, and closes itself a moment later.
    function test_signIn_data() {
        return rows("tag platform name already", [["instagram, through the page", "instagram", "Instagram", false],
                                                  ["facebook, through the page", "facebook", "Facebook", false],
                                                  ["facebook, already signed in", "facebook", "Facebook", true]])
    }

    function test_signIn(data) {
        if (data.already)
            harness.signInBrowser(data.platform)
        const auth = harness.newRoot()[data.platform + "Auth"]
        tryCompare(auth, "isSignedIn", data.already, 5000)
        const view = createTemporaryObject(loginComponent, stage, { auth: auth })
        const [web, status] = [findChild(view, "loginWebView"), findChild(view, "statusText")]
        completed.target = view
        completed.clear()
        compare(web.url, UiCatalog.loginURL(data.platform))
        if (!data.already) {
            compare(status.text, "Sign in to " + data.name + " in the window below.")
            tryVerify(() => !web.loading && web.title === "Log in to " + data.name, 20000)
            compare(completed.count, 0)
            web.runJavaScript("document.querySelector('[name=username]').value = 'ana';"
                              + "document.querySelector('[name=password]').value = 'secret';"
                              + "document.getElementById('login').submit();")
        }
        tryCompare(status, "text", "Signed in — closing…", 20000)
        const announced = Date.now()
        completed.wait(5000)
        verify(Date.now() - announced >= 300, "the screen waits before closing")
        auth.signOut()
        tryCompare(auth, "isSignedIn", false)
    }
}
