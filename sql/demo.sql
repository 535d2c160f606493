-- Filas de demostración de la base DEMO (se corre después de empresa.sql).
-- Códigos de artículo alineados a la derecha en 25 caracteres; unidades de
-- negocio, cajas, depósitos, listas y unidades en 4.

-- Usuarios: ADMIN administra; ANA es vendedora (ve las vistas SS_).
INSERT INTO dbo.TA_USUARIOS (Nombre, NombreCompleto, Administrador, Grupo, UNegocio, verproforma) VALUES ('ADMIN', 'Administrador del sistema', 1, 'ADMIN', '   1', 0)
INSERT INTO dbo.TA_USUARIOS (Nombre, NombreCompleto, Administrador, Grupo, UNegocio, verproforma) VALUES ('ANA', 'Ana Fernández', 0, 'VENTAS', '   1', 0)
GO

-- Menú: la tarea del calendario abre este programa.
INSERT INTO dbo.TA_MENU (Clave, Proceso, Nombre) VALUES ('CALENDARIO', 'ESTACIONES', 'Calendario de temporadas')
INSERT INTO dbo.TA_MENU (Clave, Proceso, Nombre) VALUES ('ARTICULOS', 'ARTICULOS', 'Maestro de artículos')
INSERT INTO dbo.TA_TAREAS (USUARIO, TAREA) VALUES ('ADMIN', 'CALENDARIO')
INSERT INTO dbo.TA_TAREAS (USUARIO, TAREA) VALUES ('ADMIN', 'ARTICULOS')
INSERT INTO dbo.TA_TAREAS (USUARIO, TAREA) VALUES ('ANA', 'CALENDARIO')
GO

INSERT INTO dbo.V_TA_Cajas (IdCajas, Descripcion) VALUES ('   1', 'CAJA 1')
GO

-- Configuración. Los colores de temporada son azul-verde-rojo; FECHAUPDATE
-- queda antes de "21/03/2006" en orden de texto, así que "Crear Calendario"
-- instala el procedimiento del calendario antes de llamarlo.
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('TEMPOCOL_BA', '&H0000FF00&', '', 'DATOS', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('TEMPOCOL_ME', '&H0000FFFF&', '', 'DATOS', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('TEMPOCOL_AL', '&H00FFFF00&', '', 'DATOS', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('TEMPOCOL_ES', '&H000000FF&', '', 'DATOS', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('FECHAUPDATE', '01/12/2026', '', 'BaseDeDatos', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('THEME', '1', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('MOSTRARSTOCKENCONSULTAS', 'SI', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('TITULOCLIENTES', 'Clientes', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('TITULOPROVEEDORES', 'Proveedores', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('EXIGECLAVECONSULTALIKEARTICULOS', 'NO', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('USACONSULTALIKE', 'NO', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('CANTIDADDECIMALES', '2', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('CANTIDADDECIMALESVENTAS', '2', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('SS_CONFIDENCIALIDAD', 'NO', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('USAMULTILESMONEDAS', 'NO', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('USAFACTURAPROFORMA', 'NO', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('USACCOSTO', 'NO', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('USA_STK_STOCK_UDKG', 'NO', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('UNIDADDEMEDIDA_M3', 'M3', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('UNIDADDEMEDIDA_BL', 'BL', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('UNIDADDEMEDIDA_KG', 'KG', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('PERIODO', '2026', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('RAZONSOCIALPORUNEG', 'NO', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('VALIDACODIGOBARRA', 'NO', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('CFONDO', '0', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('CLETRA', '0', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('MODULOORDENDETRABAJO', 'SI', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('V_MODIFICACPRECIO', 'SI', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('C_MODIFICACPRECIO', 'SI', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('MADERERA', 'NO', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('MAXDTO', '0', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('MAXDTOPROFORMA', '0', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('PIDECLAVE_STOCKNEG', 'NO', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('PIDECLAVE_MARKUPBASE', 'NO', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('PIDECLAVE_LIMITECREDITO', 'NO', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('SS_BLOQUEOACTIVO', 'NO', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('UTILIZARFECHADIA', 'NO', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('ASIGNACIONAUTOMATICADELOTEING', 'NO', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('ASIGNACIONAUTOMATICADELOTEINGOP', 'NO', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('CONDIVAEMPRESA', '1', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('TOP_DEFAULT', '1000', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('TOPCONSART', '1000', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('ARTICULOSPERMITEALTAAUTOMATICA', 'SI', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('CLASEPRECIOVENTA', '1', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('NOM_PCLASE1', 'Contado', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('NOM_PCLASE2', 'Tarjeta', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('NOM_PCLASE3', 'Mayorista', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('STK_NIVEL1', '&H00008000&', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('STK_NIVEL2', '&H00000000&', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('STK_NIVEL3', '&H000080FF&', '', 'GENERAL', 0)
INSERT INTO dbo.TA_CONFIGURACION (Clave, Valor, ValorAux, Grupo, PoliticaNegocio) VALUES ('STK_NIVEL4', '&H000000FF&', '', 'GENERAL', 0)
GO

INSERT INTO dbo.V_TA_UnidadNegocio (Codigo, Descripcion, RazonSocial) VALUES ('   1', 'Casa central', 'Comercial Demo S.A.')
INSERT INTO dbo.V_TA_UnidadNegocio (Codigo, Descripcion, RazonSocial) VALUES ('   2', 'Sucursal norte', 'Comercial Demo S.A.')
INSERT INTO dbo.V_TA_DEPOSITO (IdDeposito, Descripcion, UnidadNegocio) VALUES ('   1', 'Depósito central', '   1')
INSERT INTO dbo.V_TA_DEPOSITO (IdDeposito, Descripcion, UnidadNegocio) VALUES ('   2', 'Depósito sucursal', '   2')
INSERT INTO dbo.V_TA_UNIDAD (IdUnidad, Descripcion) VALUES ('   1', 'Unidad')
INSERT INTO dbo.V_TA_UNIDAD (IdUnidad, Descripcion) VALUES ('   2', 'Kilogramo')
INSERT INTO dbo.V_TA_UNIDAD (IdUnidad, Descripcion) VALUES ('   3', 'Caja x 12')
GO

-- Familias: el árbol anida los códigos por prefijo.
INSERT INTO dbo.V_TA_FAMILIAS (IdFamilia, Descripcion) VALUES ('01', 'Almacén')
INSERT INTO dbo.V_TA_FAMILIAS (IdFamilia, Descripcion) VALUES ('0101', 'Infusiones')
INSERT INTO dbo.V_TA_FAMILIAS (IdFamilia, Descripcion) VALUES ('0102', 'Lácteos')
INSERT INTO dbo.V_TA_FAMILIAS (IdFamilia, Descripcion) VALUES ('02', 'Limpieza')
INSERT INTO dbo.V_TA_FAMILIAS (IdFamilia, Descripcion) VALUES ('0201', 'Detergentes')
GO

-- Artículos, con la unidad 1, la unidad de negocio 1 y el código del proveedor.
INSERT INTO dbo.V_MA_ARTICULOS (IdArticulo, Descripcion, CodigoBarra, CodigoBarraDUN, IdUnidad, UD_TTE, IdFamilia, IdTipo, CodigoArtProveedor, CuentaProveedor, PuntoPedido) VALUES ('                        1', 'Yerba mate 1 kg', '7790001000011', '17790001000018', '   1', '   3', '0101', '   1', '                     5501', 'P0001', 10)
INSERT INTO dbo.V_MA_ARTICULOS (IdArticulo, Descripcion, CodigoBarra, CodigoBarraDUN, IdUnidad, UD_TTE, IdFamilia, IdTipo, CodigoArtProveedor, CuentaProveedor, PuntoPedido) VALUES ('                        2', 'Té en saquitos x 25', '7790001000028', NULL, '   1', NULL, '0101', '   1', '                     5502', 'P0001', 5)
INSERT INTO dbo.V_MA_ARTICULOS (IdArticulo, Descripcion, CodigoBarra, CodigoBarraDUN, IdUnidad, UD_TTE, IdFamilia, IdTipo, CodigoArtProveedor, CuentaProveedor, PuntoPedido) VALUES ('                        3', 'Leche entera 1 l', '7790001000035', NULL, '   1', NULL, '0102', '   1', '                     5503', 'P0001', 0)
INSERT INTO dbo.V_MA_ARTICULOS (IdArticulo, Descripcion, CodigoBarra, CodigoBarraDUN, IdUnidad, UD_TTE, IdFamilia, IdTipo, CodigoArtProveedor, CuentaProveedor, PuntoPedido) VALUES ('                        4', 'Queso cremoso por kg', '2000004000000', NULL, '   1', NULL, '0102', '   1', NULL, NULL, 2)
INSERT INTO dbo.V_MA_ARTICULOS (IdArticulo, Descripcion, CodigoBarra, CodigoBarraDUN, IdUnidad, UD_TTE, IdFamilia, IdTipo, CodigoArtProveedor, CuentaProveedor, PuntoPedido) VALUES ('                        5', 'Detergente 750 ml', '7790001000059', NULL, '   1', NULL, '0201', '   1', NULL, NULL, 0)
INSERT INTO dbo.V_MA_ARTICULOS (IdArticulo, Descripcion, CodigoBarra, CodigoBarraDUN, IdUnidad, UD_TTE, IdFamilia, IdTipo, CodigoArtProveedor, CuentaProveedor, PuntoPedido) VALUES ('                        6', 'Lavandina 1 l', '7790001000066', NULL, '   1', NULL, '0201', '   1', NULL, NULL, 0)
GO

-- Lista de venta 1 (precio 1 contado, 2 tarjeta, 3 mayorista) y lista de compra 2.
INSERT INTO dbo.V_MA_PRECIOS (IdLista, IdArticulo, Nombre, IdUnidad, ConIVA, Precio1, Precio2, Precio3, TipoLista) VALUES ('   1', '                        1', 'Yerba mate 1 kg', '   1', 1, 2500, 2750, 2300, 'V')
INSERT INTO dbo.V_MA_PRECIOS (IdLista, IdArticulo, Nombre, IdUnidad, ConIVA, Precio1, Precio2, Precio3, TipoLista) VALUES ('   1', '                        2', 'Té en saquitos x 25', '   1', 1, 1200, 1320, 1100, 'V')
INSERT INTO dbo.V_MA_PRECIOS (IdLista, IdArticulo, Nombre, IdUnidad, ConIVA, Precio1, Precio2, Precio3, TipoLista) VALUES ('   1', '                        3', 'Leche entera 1 l', '   1', 1, 1100, 1210, 1000, 'V')
INSERT INTO dbo.V_MA_PRECIOS (IdLista, IdArticulo, Nombre, IdUnidad, ConIVA, Precio1, Precio2, Precio3, TipoLista) VALUES ('   1', '                        4', 'Queso cremoso por kg', '   1', 1, 9800, 10780, 9000, 'V')
INSERT INTO dbo.V_MA_PRECIOS (IdLista, IdArticulo, Nombre, IdUnidad, ConIVA, Precio1, Precio2, Precio3, TipoLista) VALUES ('   1', '                        5', 'Detergente 750 ml', '   1', 1, 1650, 1815, 1500, 'V')
INSERT INTO dbo.V_MA_PRECIOS (IdLista, IdArticulo, Nombre, IdUnidad, ConIVA, Precio1, Precio2, Precio3, TipoLista) VALUES ('   1', '                        6', 'Lavandina 1 l', '   1', 1, 900, 990, 800, 'V')
INSERT INTO dbo.V_MA_PRECIOS (IdLista, IdArticulo, Nombre, IdArticuloProveedor, IdUnidad, ConIVA, Precio1, TipoLista) VALUES ('   2', '                        1', 'Yerba mate 1 kg', '                     5501', '   1', 0, 1610.00, 'C')
INSERT INTO dbo.V_MA_PRECIOS (IdLista, IdArticulo, Nombre, IdArticuloProveedor, IdUnidad, ConIVA, Precio1, TipoLista) VALUES ('   2', '                        2', 'Té en saquitos x 25', '                     5502', '   1', 0, 770.00, 'C')
INSERT INTO dbo.V_MA_PRECIOS (IdLista, IdArticulo, Nombre, IdArticuloProveedor, IdUnidad, ConIVA, Precio1, TipoLista) VALUES ('   2', '                        3', 'Leche entera 1 l', '                     5503', '   1', 0, 700.00, 'C')
GO

INSERT INTO dbo.STK_SALDOS (IdArticulo, IdDeposito, Stock) VALUES ('                        1', '   1', 40)
INSERT INTO dbo.STK_SALDOS (IdArticulo, IdDeposito, Stock) VALUES ('                        2', '   1', 3)
INSERT INTO dbo.STK_SALDOS (IdArticulo, IdDeposito, Stock) VALUES ('                        3', '   1', 24)
INSERT INTO dbo.STK_SALDOS (IdArticulo, IdDeposito, Stock) VALUES ('                        3', '   2', 12)
INSERT INTO dbo.STK_SALDOS (IdArticulo, IdDeposito, Stock) VALUES ('                        5', '   1', 8)
GO

INSERT INTO dbo.V_MA_CLIENTES (Codigo, Razon_Social, Contacto, Domicilio, Localidad, Telefono, Cuit, Dada_De_Baja) VALUES ('C0001', 'Almacén Don José', 'José Pérez', 'Av. San Martín 120', 'Rosario', '0341-4550001', '20123456786', 0)
INSERT INTO dbo.V_MA_CLIENTES (Codigo, Razon_Social, Contacto, Domicilio, Localidad, Telefono, Cuit, Dada_De_Baja) VALUES ('C0002', 'Bar La Esquina', 'Marta Gómez', 'Belgrano 455', 'Córdoba', '0351-4220002', '27234567894', 0)
INSERT INTO dbo.V_MA_CLIENTES (Codigo, Razon_Social, Contacto, Domicilio, Localidad, Telefono, Cuit, Dada_De_Baja) VALUES ('C0003', 'Kiosco El Sol', 'Luis Acosta', 'Mitre 78', 'Mendoza', '0261-4330003', '20345678904', 1)
INSERT INTO dbo.C_MA_PROVEEDORES (Codigo, Razon_Social, Contacto, Domicilio, Localidad, Telefono, Cuit, Dada_De_Baja) VALUES ('P0001', 'Distribuidora del Litoral S.R.L.', 'Carlos Ruiz', 'Ruta 9 km 12', 'Santa Fe', '0342-4110001', '30712345674', 0)
INSERT INTO dbo.C_MA_PROVEEDORES (Codigo, Razon_Social, Contacto, Domicilio, Localidad, Telefono, Cuit, Dada_De_Baja) VALUES ('P0002', 'Químicos del Sur S.A.', 'Laura Díaz', 'Colón 1500', 'Bahía Blanca', '0291-4560002', '30723456785', 0)
INSERT INTO dbo.MA_CONTACTOS (Nombre_y_Apellido, Domicilio, Localidad, Telefono) VALUES ('José Pérez', 'Av. San Martín 120', 'Rosario', '0341-4550001')
INSERT INTO dbo.MA_CONTACTOS (Nombre_y_Apellido, Domicilio, Localidad, Telefono) VALUES ('Marta Gómez', 'Belgrano 455', 'Córdoba', '0351-4220002')
GO

INSERT INTO dbo.V_TA_VENDEDORES (IdVendedor, Nombre) VALUES ('   1', 'Ana Fernández')
INSERT INTO dbo.V_TA_VENDEDORES (IdVendedor, Nombre) VALUES ('   2', 'Pablo Sosa')
INSERT INTO dbo.V_TA_TECNICOS (IdTecnico, Nombre) VALUES ('   1', 'Ramón Torres')
INSERT INTO dbo.V_MA_MANTENIMIENTOS (Codigo, Descripcion) VALUES ('M001', 'Service de balanza')
INSERT INTO dbo.V_TA_Tareas (IdTarea, Descripcion) VALUES ('   1', 'Instalación')
INSERT INTO dbo.V_TA_Tareas (IdTarea, Descripcion) VALUES ('   2', 'Reparación')
GO

-- Plan de cuentas; el grupo VENTAS sólo tiene asignadas las cuentas de caja.
INSERT INTO dbo.MA_CUENTAS (Codigo, Descripcion, Imputable) VALUES ('1', 'ACTIVO', 0)
INSERT INTO dbo.MA_CUENTAS (Codigo, Descripcion, Imputable) VALUES ('1.1', 'Disponibilidades', 0)
INSERT INTO dbo.MA_CUENTAS (Codigo, Descripcion, Imputable) VALUES ('1.1.01', 'Caja', 1)
INSERT INTO dbo.MA_CUENTAS (Codigo, Descripcion, Imputable) VALUES ('1.1.02', 'Banco cuenta corriente', 1)
INSERT INTO dbo.MA_CUENTAS (Codigo, Descripcion, Imputable) VALUES ('4', 'INGRESOS', 0)
INSERT INTO dbo.MA_CUENTAS (Codigo, Descripcion, Imputable) VALUES ('4.1.01', 'Ventas', 1)
INSERT INTO dbo.MA_CUENTAS_USUARIOS (Cuenta, GrupoUser) VALUES ('1', 'ADMIN')
INSERT INTO dbo.MA_CUENTAS_USUARIOS (Cuenta, GrupoUser) VALUES ('1.1', 'ADMIN')
INSERT INTO dbo.MA_CUENTAS_USUARIOS (Cuenta, GrupoUser) VALUES ('1.1.01', 'ADMIN')
INSERT INTO dbo.MA_CUENTAS_USUARIOS (Cuenta, GrupoUser) VALUES ('1.1.02', 'ADMIN')
INSERT INTO dbo.MA_CUENTAS_USUARIOS (Cuenta, GrupoUser) VALUES ('4', 'ADMIN')
INSERT INTO dbo.MA_CUENTAS_USUARIOS (Cuenta, GrupoUser) VALUES ('4.1.01', 'ADMIN')
INSERT INTO dbo.MA_CUENTAS_USUARIOS (Cuenta, GrupoUser) VALUES ('1.1.01', 'VENTAS')
INSERT INTO dbo.TA_CCOSTO (Codigo, Descripcion) VALUES ('01', 'Administración')
INSERT INTO dbo.TA_CCOSTO (Codigo, Descripcion) VALUES ('02', 'Ventas')
INSERT INTO dbo.MA_POSICIONES (IdPosicion, Descripcion) VALUES ('01', 'Bienes')
INSERT INTO dbo.MA_POSICIONES (IdPosicion, Descripcion) VALUES ('0101', 'Bienes de uso')
INSERT INTO dbo.MV_ASIENTOS (NroAsiento, Fecha, Cuenta, Detalle, Debe, Haber) VALUES (1, '20260102', '1.1.01', 'Venta contado', 2500, 0)
INSERT INTO dbo.MV_ASIENTOS (NroAsiento, Fecha, Cuenta, Detalle, Debe, Haber) VALUES (1, '20260102', '4.1.01', 'Venta contado', 0, 2500)
INSERT INTO dbo.AC_CUENTASDIARIO (Fecha, Cuenta, Debe, Haber) VALUES ('20260102', '1.1.01', 2500, 0)
INSERT INTO dbo.AC_CUENTASDIARIO_CCOSTO (Fecha, Cuenta, CCosto, Debe, Haber) VALUES ('20260102', '1.1.01', '02', 2500, 0)
GO
