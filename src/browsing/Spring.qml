import QtQuick

// A spring given as a response time in seconds and a damping fraction (1 = critically damped).
// SpringAnimation integrates in 16 ms steps, v += spring * diff - damping * v, so the physical
// stiffness (2π / response)² and damping 2 ζ (2π / response) are scaled by the step length.
SpringAnimation {
    property real response: 0.3
    property real dampingFraction: 0.8

    readonly property real angularFrequency: 2 * Math.PI / response

    spring: angularFrequency * angularFrequency * 0.016
    damping: 2 * dampingFraction * angularFrequency * 0.016
    epsilon: 0.001
}
