#!/usr/bin/env python3
"""A measurement script's side of zrctl serve, through PyVISA and its pure-Python
backend, as a bench script drives a signal generator: it identifies the board,
sets 4321 MHz on ZR3500 and reads back what the registers give, steps a
five-point hop list with *TRG, and ends with an empty error queue.

Each burst the instrument says it wrote (DIAGnostic:BURSt?) is printed as
"burst HEX" for the caller to hold against the board's write log. Any
difference is said on stderr and the exit status is 1.

Usage: pyvisa_client.py PORT
"""
import sys

import pyvisa

# The worked example: Fr 100 MHz, R 1 gives Fc 50 MHz; 4321 / 50 = 86.42, so with
# the 10/11 prescaler M 7, A 6 (10 x 8 + 6 = 86) and K = 0.42 x 2^18 truncated.
FC_HZ = 50e6
K_STEP_HZ = FC_HZ * 2 / 2**19


def fin_hz(m, a, k):
    return FC_HZ * (10 * (m + 1) + a + 2 * k / 2**19)


failures = []


def check(what, got, expected):
    if got != expected:
        failures.append(f"{what}: got {got!r}, expected {expected!r}")


def main():
    port = int(sys.argv[1])
    rm = pyvisa.ResourceManager("@py")
    inst = rm.open_resource(f"TCPIP::127.0.0.1::{port}::SOCKET", read_termination="\n", write_termination="\n",
                            timeout=5000)

    maker, model, serial, version = inst.query("*IDN?").split(",")
    check("maker", maker, "Corvane")
    check("model", model, "ZR3100/ZR3500 PLL Synthesizer Evaluation")
    check("serial number", serial, "SIMULATED")
    check("version has digits", any(c.isdigit() for c in version), True)

    inst.write("*RST;*CLS")
    inst.write("PART ZR3500;PRESC 10")
    check("part", inst.query("PART?"), "ZR3500")
    inst.write("FREQ 4321MHz")
    check("achieved Fin", round(float(inst.query("FREQ?")), 3), round(fin_hz(7, 6, 110100), 3))
    check("requested", float(inst.query("FREQ:REQ?")), 4321e6)
    print("burst", inst.query("DIAG:BURS?").strip('"'))

    points_mhz = [4300, 4300.25, 4300.5, 4300.75, 4301]
    inst.write("LIST:FREQ " + ",".join(f"{f}MHz" for f in points_mhz) + ";STEP ONCE;COUN 1")
    check("points", inst.query("LIST:POIN?"), "5")
    inst.write("INIT")
    for f in points_mhz:
        inst.write("*TRG")
        print("burst", inst.query("DIAG:BURS?").strip('"'))
        fin = float(inst.query("FREQ?"))
        k = int((f * 1e6 - fin_hz(7, 6, 0)) / K_STEP_HZ)
        check(f"Fin at {f} MHz", round(fin, 3), round(fin_hz(7, 6, k), 3))
    check("*OPC? once the list is done", inst.query("*OPC?"), "1")
    check("error queue", inst.query("SYST:ERR?"), '0,"No error"')
    check("error count", inst.query("SYST:ERR:COUN?"), "0")
    inst.close()
    rm.close()

    for f in failures:
        print(f, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
