#pragma once

// Windows that stand in for the Qt ones in the controller's tests: they keep
// what the controller handed over and answer as an operator would, through
// the function `operador` run when the window is shown.

#include "lookup/VentanasConsulta.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace estaciones::test {

struct RegistroLista {
    lookup::MiembrosLista alMostrar; // the members when the window was shown
    std::optional<lookup::ListaOpciones> opciones;
    bool desmarcoAntes = false;
    bool descargada = false;
};

class VentanaListaGrabadora : public lookup::VentanaLista {
public:
    VentanaListaGrabadora(RegistroLista& registro,
                          std::function<void(lookup::MiembrosLista&)> operador)
        : m_registro(registro), m_operador(std::move(operador)) {}

    lookup::MiembrosLista& miembros() override { return m_miembros; }
    void desmarcarTodas() override { m_registro.desmarcoAntes = true; }
    void mostrarModal() override {
        m_registro.alMostrar = m_miembros;
        m_miembros.Valores = QStringList{};
        m_miembros.Cantidades = QList<double>{};
        if (m_operador) {
            m_operador(m_miembros);
        }
    }
    void mostrarOpciones(const lookup::ListaOpciones& lista) override {
        m_registro.opciones = lista;
        mostrarModal();
    }
    void descargar() override { m_registro.descargada = true; }

private:
    RegistroLista& m_registro;
    std::function<void(lookup::MiembrosLista&)> m_operador;
    lookup::MiembrosLista m_miembros;
};

class VentanaArbolGrabadora : public lookup::VentanaArbol {
public:
    VentanaArbolGrabadora(lookup::MiembrosArbol& alMostrar,
                          std::function<void(lookup::MiembrosArbol&)> operador)
        : m_alMostrar(alMostrar), m_operador(std::move(operador)) {}

    lookup::MiembrosArbol& miembros() override { return m_miembros; }
    void mostrarModal() override {
        m_alMostrar = m_miembros;
        m_miembros.Valores = QStringList{};
        if (m_operador) {
            m_operador(m_miembros);
        }
    }

private:
    lookup::MiembrosArbol& m_alMostrar;
    std::function<void(lookup::MiembrosArbol&)> m_operador;
    lookup::MiembrosArbol m_miembros;
};

} // namespace estaciones::test
